// Arbitrary bytes as one perceptor message through the whole think cycle of
// one agent: parsing, body and world update, the beam window, the role's
// decision, skills, actions and the effector. The agent lives across inputs,
// as in a match. Every reply must be well-formed: joint commands with known
// effector names and finite numbers, and the beam with finite numbers.
//
// The agent plays uniform number 9 unless TOVRA_FUZZ_UNUM names another
// (1-2 goalie, 3-4 defender, 5-6 midfielder, 7-11 forward). Its scratch
// working directory holds the project's run-time data (data/) and, where
// that has none, a formation for eleven players.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Agent/MyBehavior.h"
#include "FuzzSupport.h"

namespace {

const char* const kFormation =
    "# formation of the think-cycle fuzz target\n"
    "unums 1 2 3 4 5 6 7 8 9 10 11\n"
    "id 0\n"
    "homePosX -14.5 -14.5 -11 -11 -6 -6 -2 -1 -2 -0.5 -3\n"
    "homePosY 0.5 -0.5 2 -2 3 -3 4 0 -4 1 0\n"
    "homePosZ 0 0 0 0 0 0 0 0 0 0 90\n";

MyBehavior* makeAgent() {
    tovra::fuzz::silenceStreams();
    tovra::fuzz::enterScratchDir();
    namespace fs = std::filesystem;
    const fs::path data = fs::path(__FILE__).parent_path().parent_path() / "data";
    std::error_code ignored;
    if (fs::is_directory(data)) {
        fs::copy(data, ".", fs::copy_options::recursive, ignored);
    }
    if (!fs::exists("formation.conf")) {
        const std::string text = kFormation;
        tovra::fuzz::writeFile("formation.conf", reinterpret_cast<const uint8_t*>(text.data()),
                               text.size());
    }
    const char* unum = std::getenv("TOVRA_FUZZ_UNUM");
    auto* agent = new MyBehavior(unum != nullptr ? std::atoi(unum) : 9);
    // The first message is answered with the init message without reading it.
    tovra::fuzz::checkCommands(agent->Think(""), {false, true});
    return agent;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MyBehavior* agent = makeAgent();
    const std::string reply = agent->Think(std::string(reinterpret_cast<const char*>(data), size));
    tovra::fuzz::checkCommands(reply, {true, false});
    return 0;
}
