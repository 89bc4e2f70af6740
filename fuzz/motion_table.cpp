// Arbitrary bytes as a key-frame table file in a scratch working directory:
// one key-frame action plays it through the dispatcher's entry point, then
// the table it read is played on to its end (or a bound on the calls). Every
// result must be joint commands with finite numbers, and an ended motion is
// back at time 0.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Actions/MatrixActions.h"
#include "FuzzSupport.h"
#include "WorldModel/Types.h"
#include "WorldModel/WorldModel.h"

namespace {

// A motion longer than this many cycles is cut short.
constexpr int kMaxCalls = 400;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tovra::fuzz::prepareFileTarget(WorldModel::instance());

    tovra::fuzz::writeFile("Acts/DiveFront.txt", data, size);
    DiveFront action;
    const std::string first = action.execute({});
    tovra::fuzz::checkCommands(first);
    if (first.empty() && action.getTime() != 0) {
        tovra::fuzz::fail("ended motion not at time 0", first);
    }

    // The same table again, played directly: one file read, many cycles.
    static Action::KeyFrameTable table;
    if (!action.matrixFill(table, "DiveFront")) {
        return 0;
    }
    double time = 0;
    for (int call = 0; call < kMaxCalls; ++call) {
        const std::string text = action.act(table, time);
        tovra::fuzz::checkCommands(text);
        if (text.empty()) {
            if (time != 0) {
                tovra::fuzz::fail("ended motion not at time 0", text);
            }
            break;
        }
    }
    return 0;
}
