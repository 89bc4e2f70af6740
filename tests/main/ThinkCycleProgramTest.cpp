#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "support/ChildProcess.h"
#include "support/ScratchDir.h"
#include "support/TestServer.h"

using tovra::test::ChildProcess;
using tovra::test::ScratchDir;
using tovra::test::TestServer;

namespace {

const std::string kScene = "(scene rsg/agent/nao/nao.rsg)";

const char* const kFormation =
    "# formation for the program tests\n"
    "unums 1 2 3 4 5 6 7 8 9 10\n"
    "id 0\n"
    "homePosX -14.5 -14.5 -11 -11 -6 -6 -2 -1 -2 -0.5\n"
    "homePosY 0.5 -0.5 2 -2 3 -3 4 0 -4 1\n"
    "homePosZ 0 0 0 0 0 0 30 0 0 0\n";

// Standing ready: "rae4" to 45 degrees in 10 s, every other joint still.
const char* const kWaitTable =
    "3 2\n"
    "0 0\n"
    "0 10\n"
    "22 45\n";

const char* const kJoints[22] = {"he1",  "he2",  "lle1", "rle1", "lle2", "rle2", "lle3", "rle3",
                                 "lle4", "rle4", "lle5", "rle5", "lle6", "rle6", "lae1", "rae1",
                                 "lae2", "rae2", "lae3", "rae3", "lae4", "rae4"};
const char* const kPerceptors[22] = {"hj1",  "hj2",  "llj1", "rlj1", "llj2", "rlj2", "llj3", "rlj3",
                                     "llj4", "rlj4", "llj5", "rlj5", "llj6", "rlj6", "laj1", "raj1",
                                     "laj2", "raj2", "laj3", "raj3", "laj4", "raj4"};

// A standing robot with every joint at 0 degrees at server time t.
std::string perceptor(double t, const char* playMode) {
    char head[160];
    std::snprintf(head, sizeof head, "(time (now %.2f))(GS (unum 1) (team left) (t 0.00) (pm %s))",
                  t, playMode);
    std::string text = head;
    text += "(GYR (n torso) (rt 0.00 0.00 0.00))(ACC (n torso) (a 0.00 0.00 9.81))";
    for (const char* joint : kPerceptors) {
        text += std::string("(HJ (n ") + joint + ") (ax 0.00))";
    }
    text += "(FRP (n lf) (c 0.00 0.00 -0.01) (f 0.00 0.00 22.50))";
    text += "(FRP (n rf) (c 0.00 0.00 -0.01) (f 0.00 0.00 22.50))";
    return text;
}

// The beam of a home position followed by every joint held still.
std::string beamText(const std::string& position) {
    std::string text = "(beam " + position + ")";
    for (const char* joint : kJoints) {
        text += std::string("(") + joint + " 0)";
    }
    return text;
}

// One agent in a working directory with the formation and a "Wait" table,
// connected to a scripted server; the init message has been answered.
class ThinkCycleProgramTest : public testing::Test {
protected:
    void start(int unum) {
        dir.write("formation.conf", kFormation);
        dir.write("Acts/Wait.txt", kWaitTable);
        agent.reset(new ChildProcess(
            TOVRA_BINARY, {"--port", std::to_string(server.port()), "--unum", std::to_string(unum)},
            dir.path()));
        ASSERT_TRUE(server.accept());
        std::string bytes;
        ASSERT_TRUE(server.receiveRaw(bytes, 4 + kScene.size()));
        ASSERT_EQ(TestServer::frame(kScene), bytes);
        ASSERT_TRUE(server.sendFrame(perceptor(0.0, "BeforeKickOff")));
        std::string init;
        ASSERT_TRUE(server.receiveFrame(init));
        EXPECT_EQ("(init (unum " + std::to_string(unum) + ")(teamname KALDA))", init);
    }

    // Sends the message of server time t and takes its reply. A reply that
    // should come is waited for; where none should come, a short wait shows
    // the silence (a late reply would be left over at the end).
    std::string exchange(double t, const char* playMode, bool replyWanted = true) {
        EXPECT_TRUE(server.sendFrame(perceptor(t, playMode)));
        std::string reply;
        if (!server.receiveFrame(reply, replyWanted ? 5000 : 40)) {
            reply.clear();
        }
        return reply;
    }

    void finish() {
        // No reply is left over: every reply above belonged to its message.
        EXPECT_TRUE(server.silentFor(200));
        server.closeClient();
        ASSERT_TRUE(agent->wait());
        EXPECT_EQ(0, agent->exitStatus());
        EXPECT_NE(std::string::npos, agent->out().find("closed connection to 127.0.0.1:" +
                                                       std::to_string(server.port()) + "\n"));
    }

    ScratchDir dir;
    TestServer server;
    std::unique_ptr<ChildProcess> agent;
};

// Messages every 0.02 s from 0.02: the window opens with the first message
// read; in single precision 0.52 is still less than 0.5 after it and 1.02
// less than 1.0, so silence runs to 0.52 and the beam to 1.02.
TEST_F(ThinkCycleProgramTest, BeamTimelineBeforeTheKickOff) {
    start(7);
    int step = 1;
    for (; step <= 26; ++step) {
        EXPECT_EQ("", exchange(0.02 * step, "BeforeKickOff", false)) << step;
    }
    for (; step <= 51; ++step) {
        EXPECT_EQ(beamText("-2 4 30"), exchange(0.02 * step, "BeforeKickOff")) << step;
    }
    // The role: a waiting field player holds its joints at zero and is
    // beamed home (facing angle 0) 11 cycles after its first call.
    for (; step <= 62; ++step) {
        const std::string reply = exchange(0.02 * step, "BeforeKickOff");
        EXPECT_NE("", reply) << step;
        EXPECT_EQ(std::string::npos, reply.find("(beam")) << step;
    }
    EXPECT_EQ(0u, exchange(0.02 * step, "BeforeKickOff").find("(beam -2 4 0)"));
    finish();
}

TEST_F(ThinkCycleProgramTest, GoalOpensANewBeamWindow) {
    start(10);
    double t = 10.0;
    for (int i = 0; i < 60; ++i, t += 0.02) {
        exchange(t, "BeforeKickOff", i >= 25);
    }
    for (int i = 0; i < 5; ++i, t += 0.02) {
        EXPECT_NE("", exchange(t, "PlayOn"));
    }
    // Half a second of silence, half a second of beams.
    for (int i = 0; i < 25; ++i, t += 0.02) {
        EXPECT_EQ("", exchange(t, "Goal_Left", false)) << i;
    }
    for (int i = 0; i < 25; ++i, t += 0.02) {
        EXPECT_EQ(beamText("-0.5 1 0"), exchange(t, "Goal_Left")) << i;
    }
    const std::string reply = exchange(t, "Goal_Left");
    EXPECT_NE("", reply);
    EXPECT_EQ(std::string::npos, reply.find("(beam"));
    finish();
}

TEST_F(ThinkCycleProgramTest, NumberMissingFromTheFormationIsNotBeamed) {
    start(11);
    int step = 1;
    for (; step <= 51; ++step) {
        EXPECT_EQ("", exchange(0.02 * step, "BeforeKickOff", false)) << step;
    }
    EXPECT_NE("", exchange(0.02 * step, "BeforeKickOff"));
    finish();
}

TEST_F(ThinkCycleProgramTest, EmptyRoleAnswerBecomesWait) {
    start(1);
    // The goalie leaves its own side's kick-in to the think cycle, which
    // sends the "Wait" table.
    const std::string reply = exchange(0.02, "KickIn_Left");
    EXPECT_EQ(0u, reply.find("(rae4 0.09)(he2 0)(lle1 0)")) << reply;
    finish();
}

}  // namespace
