// Arbitrary bytes as "outputdata" in a scratch working directory, read by a
// freshly made skill library. Every kept stand-up line must start with "(",
// hold no line end and stay within the line limit, and no more lines than
// the limit may be kept.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "Skills/Skills.h"
#include "WorldModel/Types.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tovra::fuzz::prepareFileTarget();

    tovra::fuzz::writeFile("outputdata", data, size);
    Skills::deleteT();
    const Skills* skills = Skills::getInstance();
    const int count = skills->getStandLen();
    if (count < 0 || count > Skills::kMaxStandLines) {
        tovra::fuzz::fail("stand-up line count outside the limit", std::to_string(count));
    }
    for (int i = 0; i < count; ++i) {
        const std::string& line = skills->getStandLine(i);
        if (line.empty() || line[0] != '(' ||
            line.size() > static_cast<size_t>(Skills::kMaxStandLineLength) ||
            line.find('\n') != std::string::npos) {
            tovra::fuzz::fail("kept stand-up line malformed", line);
        }
    }
    return 0;
}
