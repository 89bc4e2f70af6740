// Arbitrary bytes as a recorded command file in a scratch working directory,
// replayed by a recorded action until it ends or a bound on the calls. The
// lines are the file's own and go out unchanged; each must be one line of
// the file, and an ended replay is back at time 0.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Actions/RecordedActions.h"
#include "FuzzSupport.h"
#include "WorldModel/Types.h"

namespace {

constexpr int kMaxCalls = 100;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tovra::fuzz::prepareFileTarget();

    tovra::fuzz::writeFile("Acts/WalkSideL.txt", data, size);
    const std::string file(reinterpret_cast<const char*>(data), size);
    WalkSideL action;
    for (int call = 0; call < kMaxCalls; ++call) {
        const std::string text = action.execute({});
        if (text.empty()) {
            if (action.getTime() != 0) {
                tovra::fuzz::fail("ended replay not at time 0", text);
            }
            break;
        }
        if (text.find('\n') != std::string::npos || file.find(text) == std::string::npos) {
            tovra::fuzz::fail("replayed text is not a line of the file", text);
        }
    }
    return 0;
}
