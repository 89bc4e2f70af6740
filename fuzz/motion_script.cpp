// Arbitrary bytes as the script file of each approach-then-replay motion
// (get-up from the back, side kick, joints to zero) in a scratch working
// directory. Each action reads its script when it is made and is then run
// to its end: the approach must be joint commands with finite numbers, every
// replayed line a kept script line (starting with "(", within the line
// limit), and the motion must end within its approach plus its line limit.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "Actions/ApproachActions.h"
#include "FuzzSupport.h"
#include "WorldModel/Types.h"
#include "WorldModel/WorldModel.h"

namespace {

constexpr std::size_t kMaxLineLength = 2047;

void run(ApproachAction& action, int approachCycles, std::size_t maxLines, bool replay) {
    if (action.getLineCount() > maxLines) {
        tovra::fuzz::fail("more script lines kept than allowed",
                          std::to_string(action.getLineCount()));
    }
    const int bound = approachCycles + static_cast<int>(maxLines) + 2;
    for (int call = 0; call < bound; ++call) {
        const std::string text = action.execute({});
        if (text.empty()) {
            if (action.getCounter() != 0 || action.getLineIndex() != 0) {
                tovra::fuzz::fail("ended motion not reset", text);
            }
            return;
        }
        if (call < approachCycles) {
            tovra::fuzz::checkCommands(text);
        } else if (!replay || text[0] != '(' || text.size() > kMaxLineLength ||
                   text.find('\n') != std::string::npos) {
            tovra::fuzz::fail("replayed text is not a kept script line", text);
        }
    }
    tovra::fuzz::fail("motion did not end", "");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tovra::fuzz::prepareFileTarget(WorldModel::instance());

    for (const char* name : {"Acts/GetUpBack.txt", "Acts/KickL.txt", "Acts/SetToZero.txt"}) {
        tovra::fuzz::writeFile(name, data, size);
    }
    GetUpBack getUp;
    run(getUp, 36, 100, true);
    KickL kick;
    run(kick, 25, 300, true);
    SetToZero zero;
    run(zero, 25, 300, false);
    return 0;
}
