// Arbitrary bytes as a sine motion file in a scratch working directory,
// played by a sine action with an order chosen by the input and then on
// (the file is read again on every call) until the motion ends or a bound
// on the calls. The fade shared by all sine actions carries over from input
// to input, as in a match. Every result must be joint commands with finite
// numbers and the fade must stay within 0..1.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Actions/SineActions.h"
#include "FuzzSupport.h"
#include "WorldModel/Types.h"
#include "WorldModel/WorldModel.h"

namespace {

constexpr int kMaxCalls = 60;

const std::vector<std::string> kOrders[] = {{}, {"start"}, {"normal"}, {"end"}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tovra::fuzz::prepareFileTarget(WorldModel::instance());

    tovra::fuzz::writeFile("Acts/TurnL.txt", data, size);
    TurnL action;
    const size_t order = size % 4;
    for (int call = 0; call < kMaxCalls; ++call) {
        // The order comes with the first call; an "end" order also ends the
        // last few calls, so that the wind-down runs.
        std::vector<std::string> params;
        if (call == 0) {
            params = kOrders[order];
        } else if (call >= kMaxCalls - 10) {
            params = {"end"};
        }
        const std::string text = action.execute(params);
        tovra::fuzz::checkCommands(text);
        if (!(Action::getFactor() >= 0.0 && Action::getFactor() <= 1.0)) {
            tovra::fuzz::fail("fade outside 0..1", text);
        }
        if (text.empty()) {
            if (action.getTime() != 0) {
                tovra::fuzz::fail("ended motion not at time 0", text);
            }
            break;
        }
    }
    return 0;
}
