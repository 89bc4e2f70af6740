// The real agent program against a server that misbehaves: broken framing,
// bursts, bytes and numbers no simulator sends, perceptors repeated or left
// out, names never seen before. The agent must stay up, answer every
// well-formed message that follows, and only ever send well-formed commands.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/ChildProcess.h"
#include "support/ScratchDir.h"
#include "support/TestServer.h"

using tovra::test::ChildProcess;
using tovra::test::ScratchDir;
using tovra::test::TestServer;

namespace {

const std::string kScene = "(scene rsg/agent/nao/nao.rsg)";

const char* const kJoints[22] = {"he1",  "he2",  "lle1", "rle1", "lle2", "rle2", "lle3", "rle3",
                                 "lle4", "rle4", "lle5", "rle5", "lle6", "rle6", "lae1", "rae1",
                                 "lae2", "rae2", "lae3", "rae3", "lae4", "rae4"};
const char* const kPerceptors[22] = {"hj1",  "hj2",  "llj1", "rlj1", "llj2", "rlj2", "llj3", "rlj3",
                                     "llj4", "rlj4", "llj5", "rlj5", "llj6", "rlj6", "laj1", "raj1",
                                     "laj2", "raj2", "laj3", "raj3", "laj4", "raj4"};

// A standing robot's joint angles in degrees (knees slightly bent).
const double kStance[22] = {0,  0, 0, 0,   0,   0,  20,  20, -40, -40, 20,
                            20, 0, 0, -80, -80, 10, -10, 0,  0,   0,   0};

// Numeric slots of the full perceptor message that a case may replace: every
// number of "time", "GS", "GYR", "ACC", "HJ", "FRP", "TCH", the "pol" values
// of landmarks, ball and players, the player number and the "hear" numbers.
const char* const kSlots[] = {
    "time",  "gs.unum",     "gs.t",       "gyr",         "acc",       "hj.all",    "hj.one",
    "frp.c", "frp.f",       "tch.val",    "flag.d",      "flag.h",    "flag.v",    "goal",
    "ball",  "player.head", "player.arm", "player.foot", "player.id", "hear.time", "hear.sender",
};

std::string manyDigits(const char* lead, int count) {
    return std::string(lead) + std::string(static_cast<std::size_t>(count), '9');
}

// Texts in number positions: not-a-number and infinities in every spelling a
// number reader may accept, beyond the float and double ranges, subnormal
// underflow, negative zero, 400-digit numbers, int overflow, and numbers
// that are not quite numbers.
std::vector<std::string> hostileNumbers() {
    return {"nan",
            "-nan",
            "NaN",
            "inf",
            "-inf",
            "infinity",
            "1e999",
            "-1e999",
            "1e-999",
            "-0",
            manyDigits("", 400),
            manyDigits("-", 400),
            "0." + std::string(400, '0') + "1",
            "1e38",
            "3.5e38",
            "-1e308",
            "0x1p1023",
            "2147483648",
            "-2147483649",
            "1e",
            "--1",
            "1.5.5"};
}

// The full perceptor message of server time t in play mode pm: every
// perceptor, all eight landmarks, the ball, a teammate and an opponent with
// their body parts, a heard message. Slot `slot` (see kSlots) reads `value`.
std::string perceptor(double t, const std::string& pm, const std::string& slot = "",
                      const std::string& value = "") {
    auto v = [&](const char* name, const std::string& normal) {
        return slot == name ? value : normal;
    };
    auto v3 = [&](const char* name, const std::string& normal) {
        return slot == name ? value + " " + value + " " + value : normal;
    };
    char time[32];
    std::snprintf(time, sizeof time, "%.2f", t);

    std::string m;
    m += "(time (now " + v("time", time) + "))";
    m += "(GS (unum " + v("gs.unum", "9") + ") (team left) (t " + v("gs.t", time) + ") (pm " + pm +
         "))";
    m += "(GYR (n torso) (rt " + v3("gyr", "0.12 -0.30 0.01") + "))";
    m += "(ACC (n torso) (a " + v3("acc", "0.05 0.02 9.79") + "))";
    for (int j = 0; j < 22; ++j) {
        char angle[32];
        std::snprintf(angle, sizeof angle, "%.2f", kStance[j]);
        std::string text = slot == "hj.all" || (slot == "hj.one" && j == 8) ? value : angle;
        m += std::string("(HJ (n ") + kPerceptors[j] + ") (ax " + text + "))";
    }
    m += "(FRP (n lf) (c " + v3("frp.c", "0.01 -0.02 -0.01") + ") (f " +
         v3("frp.f", "0.30 -0.10 22.50") + "))";
    m += "(FRP (n rf) (c -0.01 0.01 -0.01) (f 0.20 0.10 23.10))";
    m += "(TCH (name lf) (val " + v("tch.val", "1") + "))";
    m += "(See";
    m += " (F1L (pol " + v("flag.d", "17.20") + " " + v("flag.h", "127.50") + " " +
         v("flag.v", "-1.80") + "))";
    m += " (F1R (pol 19.70 -31.00 -1.60)) (F2L (pol 19.70 31.00 -1.60))";
    m += " (F2R (pol 17.20 -127.50 -1.80))";
    m += " (G1L (pol " + v3("goal", "13.10 3.70 -2.40") + ")) (G2L (pol 13.10 -3.70 -2.40))";
    m += " (G1R (pol 17.00 -3.50 -1.85)) (G2R (pol 17.00 3.50 -1.85))";
    m += " (B (pol " + v3("ball", "1.80 -12.00 -16.50") + "))";
    m += " (P (team KALDA) (id " + v("player.id", "3") + ") (head (pol " +
         v3("player.head", "5.10 30.00 0.20") + ")) (rlowerarm (pol " +
         v3("player.arm", "5.05 29.00 -2.90") +
         ")) (llowerarm (pol 5.12 31.10 -2.90)) (rfoot (pol " +
         v3("player.foot", "5.08 29.50 -6.10") + ")) (lfoot (pol 5.11 30.70 -6.10)))";
    m += " (P (team Rivals) (id 7) (head (pol 8.00 -20.00 0.10)) (lfoot (pol 8.10 -20.40 -3.80)))";
    m += ")";
    m += "(hear " + v("hear.time", time) + " " + v("hear.sender", "-30.50") + " abcd)";
    return m;
}

// Empty when `reply` is a well-formed command text: nothing but commands
// "(name values)" of the known effectors, separated by blanks at most, the
// values separated by blanks, every number finite, no stray bytes.
std::string replyFault(const std::string& reply) {
    static const std::set<std::string> joints(std::begin(kJoints), std::end(kJoints));
    auto number = [](const std::string& text) {
        if (text.empty() || text.find_first_not_of("0123456789+-.eE") != std::string::npos)
            return false;
        char* end = nullptr;
        double value = std::strtod(text.c_str(), &end);
        return end == text.c_str() + text.size() && std::isfinite(value);
    };
    std::size_t pos = 0;
    while (pos < reply.size()) {
        if (reply[pos] == ' ') {
            ++pos;
            continue;
        }
        if (reply[pos] != '(')
            return "stray byte at " + std::to_string(pos);
        if (reply.compare(pos, 6, "(init ") == 0) {
            const std::string head = "(init (unum ", tail = ")(teamname KALDA))";
            std::size_t digits = pos + head.size();
            while (digits < reply.size() && std::isdigit(static_cast<unsigned char>(reply[digits])))
                ++digits;
            if (reply.compare(pos, head.size(), head) != 0 || digits == pos + head.size() ||
                reply.compare(digits, tail.size(), tail) != 0)
                return "malformed init at " + std::to_string(pos);
            pos = digits + tail.size();
            continue;
        }
        const std::size_t close = reply.find(')', pos);
        if (close == std::string::npos)
            return "unterminated command at " + std::to_string(pos);
        const std::string command = reply.substr(pos, close - pos + 1);
        std::vector<std::string> words;
        std::size_t at = pos + 1;
        while (at < close) {
            if (reply[at] == ' ') {
                ++at;
                continue;
            }
            const std::size_t end = std::min(reply.find(' ', at), close);
            words.push_back(reply.substr(at, end - at));
            at = end;
        }
        if (words.empty())
            return "empty command at " + std::to_string(pos);
        const std::string& name = words[0];
        if (name.find('(') != std::string::npos)
            return "nested list in " + command;
        if (joints.count(name) != 0) {
            if (words.size() != 2 || !number(words[1]))
                return "bad value in " + command;
        } else if (name == "beam") {
            if (words.size() != 4 || !number(words[1]) || !number(words[2]) || !number(words[3]))
                return "bad beam " + command;
        } else if (name == "say") {
            for (const std::string& word : words) {
                for (char c : word) {
                    if (c < 0x21 || c > 0x7e || c == '(')
                        return "bad say " + command;
                }
            }
        } else {
            return "unknown effector in " + command;
        }
        pos = close + 1;
    }
    return "";
}

bool sanitizerReport(const std::string& text) {
    for (const char* mark :
         {"AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer", "runtime error:"}) {
        if (text.find(mark) != std::string::npos)
            return true;
    }
    return false;
}

// One agent in a scratch directory with the project's motion files and
// formation, connected to a scripted server, past the init message and a
// few steps of open play.
class HostileServerTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"Acts", "formation.conf"}) {
            const std::string target = std::string(TOVRA_DATA_DIR) + "/" + name;
            ASSERT_EQ(0, symlink(target.c_str(), (dir.path() + "/" + name).c_str()));
        }
    }

    void start(int unum = 9) {
        agent = std::make_unique<ChildProcess>(
            TOVRA_BINARY,
            std::vector<std::string>{"--port", std::to_string(server.port()), "--unum",
                                     std::to_string(unum)},
            dir.path());
        ASSERT_TRUE(server.accept());
        std::string bytes;
        ASSERT_TRUE(server.receiveRaw(bytes, 4 + kScene.size()));
        ASSERT_EQ(TestServer::frame(kScene), bytes);
        ASSERT_TRUE(server.sendFrame(perceptor(t, "PlayOn")));
        std::string init;
        ASSERT_TRUE(server.receiveFrame(init));
        ASSERT_EQ("(init (unum " + std::to_string(unum) + ")(teamname KALDA))", init);
        for (int i = 0; i < 5; ++i)
            good();
    }

    double next() { return t += 0.02; }

    // The reply to one message; every message in open play is answered.
    std::string answer(const std::string& body, const std::string& what) {
        std::string reply;
        EXPECT_TRUE(server.sendFrame(body)) << what;
        EXPECT_TRUE(server.receiveFrame(reply)) << "no answer to " << what;
        EXPECT_NE("", reply) << what;
        EXPECT_EQ("", replyFault(reply)) << what << "\nreply: " << reply;
        return reply;
    }

    // A well-formed message of open play and its (well-formed) reply.
    void good(const std::string& after = "") {
        answer(perceptor(next(), "PlayOn"), "well-formed message after " + after);
    }

    // Whatever comes within waitMs must be well-formed; a message whose play
    // mode starts a silent beam window may go unanswered.
    void maybeAnswered(const std::string& body, const std::string& what, int waitMs = 150) {
        ASSERT_TRUE(server.sendFrame(body)) << what;
        std::string reply;
        if (server.receiveFrame(reply, waitMs)) {
            EXPECT_EQ("", replyFault(reply)) << what << "\nreply: " << reply;
        }
    }

    // The agent leaves quietly when the server closes: status 0, no signal,
    // no sanitizer report.
    void finish() {
        EXPECT_TRUE(server.silentFor(50)) << "a reply without its message";
        server.closeClient();
        ASSERT_TRUE(agent->wait(20000));
        expectCleanExit();
    }

    void expectCleanExit() {
        EXPECT_EQ(0, agent->termSignal());
        EXPECT_EQ(0, agent->exitStatus());
        EXPECT_FALSE(sanitizerReport(agent->err())) << agent->err().substr(0, 4000);
    }

    ScratchDir dir;
    TestServer server;
    std::unique_ptr<ChildProcess> agent;
    double t = 40.0;
};

// Hostile numbers in every numeric slot: each message is answered
// well-formed, and so is the well-formed message after it. The forward, whose
// decisions read the most of the message, gets every hostile number; the
// goalie the core of them.
class HostileNumberTest : public HostileServerTest, public testing::WithParamInterface<int> {};

TEST_P(HostileNumberTest, EveryNumericFieldGetsHostileNumbers) {
    const int unum = GetParam();
    start(unum);
    std::vector<std::string> numbers = hostileNumbers();
    if (unum == 1)
        numbers = {"nan", "-inf", "1e999", "-0", manyDigits("", 400), manyDigits("-", 400)};
    for (const char* slot : kSlots) {
        for (const std::string& number : numbers) {
            const std::string what = std::string(slot) + " = " + number.substr(0, 24);
            answer(perceptor(next(), "PlayOn", slot, number), what);
            good(what);
            if (HasFailure())
                return;
        }
    }
    finish();
}

INSTANTIATE_TEST_SUITE_P(Roles, HostileNumberTest, testing::Values(1, 9));

// Hostile server times in the beam window before the kick-off, as the
// window's first message (whose time starts the window's clock) or inside
// it: the agent may stay silent for its window, but within 60 well-formed
// steps (1.2 s) it beams or plays again.
TEST_F(HostileServerTest, HostileTimeInTheBeamWindowDoesNotSilenceTheAgent) {
    start();
    // Besides numbers that are none, times far ahead or back.
    for (const std::string number : {"nan", "inf", "-inf", "1e38", "-1e38", "1e999", "1e9", "-5"}) {
        for (int hostileAt : {0, 2}) {
            const std::string what =
                "time = " + number + " as message " + std::to_string(hostileAt) + " of the window";
            std::string steps;
            for (int i = 0; i < 63; ++i) {
                steps += TestServer::frame(i == hostileAt
                                               ? perceptor(next(), "BeforeKickOff", "time", number)
                                               : perceptor(next(), "BeforeKickOff"));
            }
            ASSERT_TRUE(server.sendRaw(steps));
            std::string reply;
            EXPECT_TRUE(server.receiveFrame(reply, 5000)) << "silent after " << what;
            EXPECT_EQ("", replyFault(reply)) << what << "\nreply: " << reply;
            // The rest of the window's answers.
            while (server.receiveFrame(reply, 150)) {
                EXPECT_EQ("", replyFault(reply)) << what << "\nreply: " << reply;
            }
            good(what);
            if (HasFailure())
                return;
        }
    }
    finish();
}

// Bytes, names and shapes no simulator sends: each message is answered or (for
// a play mode that opens a beam window) may be silent, and a well-formed
// message after it is answered.
TEST_F(HostileServerTest, StrangeBytesNamesAndShapes) {
    struct Case {
        std::string what;
        std::string body;
        bool mayBeSilent;
    };
    const std::string full = perceptor(0, "PlayOn");
    auto withTime = [&](std::string body) { return "(time (now 0.00))" + body; };
    std::string nulInside = perceptor(0, "PlayOn");
    nulInside.insert(nulInside.find("(See"), std::string("\0(See (B (pol 1 2 3)))", 22));
    std::string highBytes;
    for (int c = 0x80; c <= 0xff; ++c)
        highBytes += static_cast<char>(c);
    std::string everyByte;
    for (int c = 1; c <= 0xff; ++c)
        everyByte += static_cast<char>(c);
    std::string doubled = full + full;
    // The largest body the agent takes: the full message, then ball sightings
    // up to 16,380 bytes.
    std::string largest = full;
    while (largest.size() + 24 <= 16380)
        largest += "(See (B (pol 1 -2 -3)))";
    largest += std::string(16380 - largest.size(), ' ');

    const std::vector<Case> cases = {
        // NUL and high bytes.
        {"NUL inside", nulInside, false},
        {"NUL first", std::string("\0", 1) + full, false},
        {"high bytes in a joint name", withTime("(HJ (n ll\xff\xfej3) (ax 12))"), false},
        {"high bytes in a number", withTime("(HJ (n llj3) (ax 1\xff.5))"), false},
        {"high bytes as a name", withTime("(\xe9t\xe9 (now 3))(" + highBytes + ")"), false},
        {"every byte value", withTime(everyByte), false},
        {"high bytes in the team",
         withTime("(See (P (team K\xc3\x84LDA) (id 2) (head (pol 3 0 0))))"), false},
        {"high bytes in the heard text", withTime("(hear 1.0 -20 \xff\xfe\x80)"), false},
        // Names never sent before.
        {"unknown joint", withTime("(HJ (n xxj9) (ax 10))(HJ (n hj) (ax 1))(HJ (n) (ax 3))"),
         false},
        {"unknown foot", withTime("(FRP (n mf) (c 0 0 0) (f 0 0 9))(TCH (name mf) (val 1))"),
         false},
        {"unknown landmarks",
         withTime("(See (F3L (pol 1 2 3)) (G9R (pol 1 2 3)) (Gx (pol 1 2 3)) (F (pol 1 2 3)) "
                  "(Bxx (pol 1 2 3)) (Q (pol 1 2 3)) (mypos 1 2 3) (mypos))"),
         false},
        {"unknown teams and numbers",
         withTime("(See (P (team kalda) (id 3) (head (pol 4 0 0))) (P (team KALDA ) (id 0) "
                  "(head (pol 4 0 0))) (P (team KALDA) (id 12) (head (pol 4 0 0))) "
                  "(P (team KALDA) (id -1) (rfoot (pol 4 0 0))) (P (team) (id) (head (pol 4 0 0))) "
                  "(P (id 2) (head (pol 4 0 0))) (P (team X) (head (pol 4 0 0))) "
                  "(P (team Y) (id 4) (pol 4 0 0)) (P (team Z) (id 5) (head)) (P))"),
         false},
        {"unknown side", withTime("(GS (team middle) (t 1) (pm PlayOn))"), false},
        {"unknown play mode", withTime("(GS (team left) (t 1) (pm Penalty_Shootout))"), true},
        {"high bytes as play mode", withTime("(GS (t 1) (pm Play\xffOn))"), true},
        {"empty play mode", withTime("(GS (t 1) (pm))"), false},
        // Perceptors repeated and left out.
        {"every perceptor twice", doubled, false},
        {"time three times", "(time (now 1))(time (now 99999))(time (now 2))", false},
        {"game state twice, two sides",
         withTime("(GS (team left) (pm PlayOn))(GS (team right) (pm PlayOn))"), false},
        {"nothing", "", false},
        {"only time", "(time (now 5))", false},
        {"no time", full.substr(full.find("(GS")), false},
        {"no joints", withTime("(GYR (n torso) (rt 0 0 0))"), false},
        {"empty perceptors",
         "(time)(GS)(GYR)(ACC)(HJ)(FRP)(TCH)(See)(hear)(time (now))(GYR (n))(ACC (n t) (a))"
         "(HJ (n llj1))(FRP (n lf) (c 1 2))(TCH (name lf))(hear)(hear 1)(hear 1 2)(hear 1 2 (x))",
         false},
        {"nested everything",
         withTime("(See (((B (pol 1 2 3)))) (P (P (P))))(GS (GS (pm PlayOn)))"), false},
        {"wrong nesting", "((((((((((((((((((((time (now 1))))))))))))))))))))", false},
        {"unbalanced", "(time (now 1)(GS (pm PlayOn)(See (B (pol 1 2 3)", false},
        {"closing only", std::string(2000, ')'), false},
        {"deep nesting", std::string(5000, '(') + std::string(5000, ')'), false},
        {"long name", "(" + std::string(10000, 'H') + " (n llj1) (ax 1))", false},
        {"many values", withTime("(HJ (n llj1) (ax" + std::string(8000, ' ') + "1))"), false},
        {"largest body", largest, false},
        {"long heard texts",
         withTime("(hear 1 -20 " + std::string(9000, 'x') + ")(hear 1 20 " +
                  std::string(3000, '|') + ")"),
         false},
        {"many players", withTime([] {
             std::string see = "(See";
             for (int i = 0; i < 200; ++i)
                 see += " (P (team T" + std::to_string(i % 3) + ") (id " + std::to_string(i % 13) +
                        ") (head (pol 3 " + std::to_string(i) + " 0)))";
             return see + ")";
         }()),
         false},
    };

    start();
    for (const Case& c : cases) {
        if (c.mayBeSilent)
            maybeAnswered(c.body, c.what);
        else
            answer(c.body, c.what);
        good(c.what);
        if (HasFailure())
            return;
    }
    finish();
}

// Framing faults: a message stalled halfway is completed and answered;
// messages back to back, and a burst of 1,000 in one write, are each
// answered once and in order.
TEST_F(HostileServerTest, StalledSplitAndBackToBackFrames) {
    start();
    const std::string body = perceptor(next(), "PlayOn");
    const std::string bytes = TestServer::frame(body);
    for (std::size_t cut : {std::size_t(1), std::size_t(3), std::size_t(4), std::size_t(5),
                            bytes.size() / 2, bytes.size() - 1}) {
        ASSERT_TRUE(server.sendRaw(bytes.substr(0, cut)));
        EXPECT_TRUE(server.silentFor(60)) << "answered a part of " << cut << " bytes";
        ASSERT_TRUE(server.sendRaw(bytes.substr(cut)));
        std::string reply;
        ASSERT_TRUE(server.receiveFrame(reply)) << "cut at " << cut;
        EXPECT_EQ("", replyFault(reply)) << reply;
    }
    // A byte at a time.
    for (char c : TestServer::frame(perceptor(next(), "PlayOn")))
        ASSERT_TRUE(server.sendRaw(std::string(1, c)));
    std::string reply;
    ASSERT_TRUE(server.receiveFrame(reply));
    EXPECT_EQ("", replyFault(reply)) << reply;

    for (int count : {20, 1000}) {
        std::string burst;
        for (int i = 0; i < count; ++i)
            burst += TestServer::frame(perceptor(next(), "PlayOn"));
        // The agent answers while the burst is still being written.
        std::thread writer([&] { EXPECT_TRUE(server.sendRaw(burst)); });
        int answered = 0;
        for (; answered < count; ++answered) {
            if (!server.receiveFrame(reply, 10000))
                break;
            EXPECT_EQ("", replyFault(reply)) << reply;
        }
        writer.join();
        EXPECT_EQ(count, answered);
    }
    good("the bursts");
    finish();
}

// The server goes away in every part of a frame: the agent ends with status
// 0 and reports the closed connection.
TEST_F(HostileServerTest, ServerClosingInsideAFrameEndsTheAgentCleanly) {
    const std::string bytes = TestServer::frame(perceptor(50.0, "PlayOn"));
    for (std::size_t cut :
         {std::size_t(0), std::size_t(2), std::size_t(4), std::size_t(40), bytes.size() - 1}) {
        TestServer local;
        std::unique_ptr<ChildProcess> child = std::make_unique<ChildProcess>(
            TOVRA_BINARY,
            std::vector<std::string>{"--port", std::to_string(local.port()), "--unum", "9"},
            dir.path());
        ASSERT_TRUE(local.accept());
        std::string scene;
        ASSERT_TRUE(local.receiveRaw(scene, 4 + kScene.size()));
        ASSERT_TRUE(local.sendFrame(perceptor(49.98, "PlayOn")));
        std::string init;
        ASSERT_TRUE(local.receiveFrame(init));
        ASSERT_TRUE(local.sendRaw(bytes.substr(0, cut)));
        local.closeClient();
        ASSERT_TRUE(child->wait(20000)) << "cut at " << cut;
        agent = std::move(child);
        expectCleanExit();
        const bool inPrefix = cut < 4;
        if (inPrefix) {
            EXPECT_NE(std::string::npos, agent->out().find("closed connection to 127.0.0.1:"))
                << "cut at " << cut;
        } else {
            EXPECT_NE(std::string::npos,
                      agent->err().find("(getMessage) ERROR:  read returned errors '"))
                << "cut at " << cut;
        }
    }
}

}  // namespace
