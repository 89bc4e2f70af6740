// The server over real sockets: handshake, sides, robustness, beam, control.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include "FrameDecoder.h"
#include "Server.h"
#include "SimTestSupport.h"
#include "support/ScratchDir.h"

using namespace tovrasim;

namespace {

// x, y of the robot of `side` in a state line, or a far-away point.
std::pair<double, double> robotXY(const std::string& state, const std::string& side) {
    const size_t at = state.find("\"side\":\"" + side + "\"");
    if (at == std::string::npos)
        return {1e9, 1e9};
    const size_t p = state.find("\"pos\":[", at);
    if (p == std::string::npos)
        return {1e9, 1e9};
    char* end = nullptr;
    const double x = std::strtod(state.c_str() + p + 7, &end);
    const double y = std::strtod(end + 1, nullptr);
    return {x, y};
}

using simtest::Conn;

class ServerFixture : public ::testing::Test {
protected:
    virtual ServerOptions options() const {
        ServerOptions o;
        o.port = 0;
        o.controlPort = 0;
        o.lockstep = true;
        o.deadline = 0.05;
        o.noise = false;
        o.referee.automaticKickOff = false;  // stay in BeforeKickOff
        return o;
    }
    void SetUp() override {
        server_ = std::make_unique<Server>(options());
        ASSERT_TRUE(server_->start());
        thread_ = std::thread([this] { server_->run(); });
    }
    void TearDown() override {
        server_->stop();
        thread_.join();
    }
    // Scene + init; returns the first full message.
    std::string join(Conn& c, int unum, const std::string& team) {
        c.send("(scene rsg/agent/nao/nao.rsg)");
        const std::string first = c.recv();
        EXPECT_EQ(first.find("(unum"), std::string::npos) << first;
        c.send("(init (unum " + std::to_string(unum) + ")(teamname " + team + "))");
        // Messages sent before the init arrived may still be queued.
        std::string m;
        for (int i = 0; i < 10; ++i) {
            m = c.recv();
            if (m.find("(GS (unum") != std::string::npos)
                break;
            c.send("(syn)");
        }
        return m;
    }
    // Answers a few messages so that earlier commands have been applied.
    static void settle(std::initializer_list<Conn*> conns) {
        for (int i = 0; i < 5; ++i) {
            for (Conn* c : conns) {
                c->send("(syn)");
                c->recv();
            }
        }
    }
    std::string control(const std::string& cmd) {
        Conn c(server_->controlPort());
        c.send(cmd);
        return c.recv();
    }

    std::unique_ptr<Server> server_;
    std::thread thread_;
};

}  // namespace

TEST_F(ServerFixture, HandshakeGivesTheRobotItsNumberAndSide) {
    Conn a(server_->port());
    ASSERT_TRUE(a.ok());
    const std::string m = join(a, 3, "KALDA");
    EXPECT_NE(m.find("(GS (unum 3) (team left)"), std::string::npos) << m;
    EXPECT_NE(m.find("(pm BeforeKickOff)"), std::string::npos);
    EXPECT_NE(m.find("(HJ (n raj4)"), std::string::npos);
    bool see = false;
    for (int i = 0; i < 3; ++i) {
        a.send("(syn)");
        see = see || a.recv().find("(See") != std::string::npos;
    }
    EXPECT_TRUE(see);
}

TEST_F(ServerFixture, SameTeamNameTwiceMakesTwoSidesAndTheThirdIsRefused) {
    Conn a(server_->port()), b(server_->port()), c(server_->port());
    EXPECT_NE(join(a, 1, "KALDA").find("(team left)"), std::string::npos);
    std::string mb = join(b, 1, "KALDA");
    EXPECT_NE(mb.find("(team right)"), std::string::npos) << mb;
    const std::string mc = join(c, 1, "KALDA");
    EXPECT_EQ(mc.find("(unum"), std::string::npos) << "refused robots stay out of play";
    EXPECT_NE(mc.find("(time (now"), std::string::npos);
    // Each sees the other (straight ahead across the field) under a name
    // that is not its own.
    std::string seenByA, seenByB;
    for (int i = 0; i < 4; ++i) {
        a.send("(syn)");
        b.send("(syn)");
        c.send("(syn)");
        const std::string ma = a.recv();
        mb = b.recv();
        c.recv();
        if (ma.find("(P ") != std::string::npos)
            seenByA = ma;
        if (mb.find("(P ") != std::string::npos)
            seenByB = mb;
    }
    EXPECT_NE(seenByA.find("(P (team KALDA_R) (id 1)"), std::string::npos) << seenByA;
    EXPECT_NE(seenByB.find("(P (team KALDA_L) (id 1)"), std::string::npos) << seenByB;
    const std::string state = control("(state)");
    EXPECT_NE(state.find("\"side\":\"left\",\"unum\":1"), std::string::npos) << state;
    EXPECT_NE(state.find("\"side\":\"right\",\"unum\":1"), std::string::npos) << state;
}

TEST_F(ServerFixture, MalformedInputIsIgnoredAndOversizedFramesCloseOnlyThatClient) {
    Conn good(server_->port()), bad(server_->port());
    join(good, 2, "A");
    join(bad, 3, "A");
    for (const char* junk : {"(((", ")(", "(lle1 abc)", "(lle1 nan)", "(nonsense 1)", "(beam 1 2)",
                             "(beam 1e308 0 0)", "(say (x))", "(init (unum 4)(teamname A))",
                             "(scene x)", "\x01\x02garbage", "(lle1 1 2 3)", "(say a b)"}) {
        bad.send(junk);
        EXPECT_NE(bad.recv(), "") << junk;
        good.send("(syn)");
        EXPECT_NE(good.recv(), "");
    }
    bad.sendRaw(std::string("\x7f\xff\xff\xff", 4));
    EXPECT_EQ(bad.recv(2.0), "");
    EXPECT_TRUE(bad.closed());
    for (int i = 0; i < 3; ++i) {
        good.send("(syn)");
        EXPECT_NE(good.recv().find("(unum 2)"), std::string::npos);
    }
    // The number of the closed robot is free again.
    Conn again(server_->port());
    EXPECT_NE(join(again, 3, "A").find("(unum 3) (team left)"), std::string::npos);
}

TEST_F(ServerFixture, BeamPlacesTheRobotInItsOwnSidesFrame) {
    Conn a(server_->port()), b(server_->port());
    join(a, 5, "ONE");
    join(b, 5, "TWO");
    a.send("(beam -4 2 0)");
    b.send("(beam -4 2 0)");
    settle({&a, &b});
    const std::string s = control("(state)");
    // Left robot at (-4, 2) facing +x; right robot at (4, -2) facing -x.
    auto l = robotXY(s, "left"), r = robotXY(s, "right");
    EXPECT_NEAR(l.first, -4, 0.01) << s;
    EXPECT_NEAR(l.second, 2, 0.01) << s;
    EXPECT_NEAR(r.first, 4, 0.01) << s;
    EXPECT_NEAR(r.second, -2, 0.01) << s;
    EXPECT_NE(s.find("\"heading\":180.0"), std::string::npos) << s;
    // Not in PlayOn.
    EXPECT_EQ(control("(playMode PlayOn)"), "(ok)");
    a.send("(beam 3 3 0)");
    settle({&a, &b});
    EXPECT_NEAR(robotXY(control("(state)"), "left").first, -4, 0.05);
}

TEST_F(ServerFixture, ControlChannelPlacesTheBallAndRejectsBadCommands) {
    EXPECT_EQ(control("(ball 1 2 0.042)"), "(ok)");
    EXPECT_NE(control("(state)").find("\"ball\":{\"pos\":[1.0000,2.0000"), std::string::npos);
    EXPECT_EQ(control("(playMode Nonsense)"), "(error unknown play mode)");
    EXPECT_EQ(control("(ball x)").rfind("(error", 0), 0u);
    EXPECT_EQ(control("(place left 9 0 0 0)").rfind("(error", 0), 0u);
    EXPECT_EQ(control("(((").rfind("(error", 0), 0u);
}

TEST_F(ServerFixture, ControlChannelStartsTheKickOffSetsEveryModeAndDropsTheBall) {
    EXPECT_NE(control("(state)").find("\"playMode\":\"BeforeKickOff\""), std::string::npos)
        << "without --automatic-kickoff the kick-off waits for the referee";
    EXPECT_EQ(control("(kickOff left)").rfind("(error", 0), 0u);
    EXPECT_EQ(control("(ball 3 3 0.042)"), "(ok)");
    EXPECT_EQ(control("(kickOff)"), "(ok)");
    std::string st = control("(state)");
    EXPECT_NE(st.find("\"playMode\":\"KickOff_Left\""), std::string::npos) << st;
    EXPECT_NE(st.find("\"ball\":{\"pos\":[0.0000,0.0000"), std::string::npos) << st;
    EXPECT_EQ(control("(kickOff)").rfind("(error", 0), 0u) << "only from BeforeKickOff";

    for (const char* name :
         {"BeforeKickOff", "KickOff_Left", "KickOff_Right", "PlayOn", "KickIn_Left", "KickIn_Right",
          "free_kick_left", "free_kick_right", "goal_kick_left", "goal_kick_right",
          "corner_kick_right", "corner_kick_left", "Goal_Left", "Goal_Right", "offside_left",
          "offside_right", "GameOver"}) {
        EXPECT_EQ(control(std::string("(playMode ") + name + ")"), "(ok)") << name;
        st = control("(state)");
        EXPECT_NE(st.find(std::string("\"playMode\":\"") + name + "\""), std::string::npos) << st;
    }

    EXPECT_EQ(control("(dropBall 3 -4)"), "(ok)");
    st = control("(state)");
    EXPECT_NE(st.find("\"playMode\":\"PlayOn\""), std::string::npos) << st;
    EXPECT_NE(st.find("\"ball\":{\"pos\":[3.0000,-4.0000"), std::string::npos) << st;
    EXPECT_EQ(control("(dropBall 16 0)").rfind("(error", 0), 0u) << "off the field";
    EXPECT_EQ(control("(dropBall x 0)").rfind("(error", 0), 0u);
    EXPECT_EQ(control("(dropBall 1)").rfind("(error", 0), 0u);
}

// A robot taken out of play is put back and the trace says why.
TEST(RefereeEvents, ARobotOffTheFieldIsPutBackAndTraced) {
    tovra::test::ScratchDir dir;
    const std::string trace = dir.path() + "/events.jsonl";
    ServerOptions o;
    o.port = 0;
    o.controlPort = 0;
    o.lockstep = true;
    o.noise = false;
    o.traceFile = trace;
    Server server(o);
    ASSERT_TRUE(server.start());
    std::thread thread([&] { server.run(); });
    simtest::ScriptedRobot robot(server.port(), 3, "KALDA", {});
    auto control = [&](const std::string& cmd) {
        Conn c(server.controlPort());
        c.send(cmd);
        return c.recv();
    };
    for (int i = 0; i < 5; ++i)
        robot.step();
    EXPECT_EQ(control("(dropBall 5 5)"), "(ok)");
    EXPECT_EQ(control("(place left 3 0 11.5 90)"), "(ok)");
    for (int i = 0; i < 5; ++i)
        robot.step();
    const simtest::State st = simtest::parseState(control("(state)"));
    server.stop();
    thread.join();
    ASSERT_TRUE(st.valid);
    const simtest::RobotState* r = st.robot("left", 3);
    ASSERT_NE(r, nullptr);
    EXPECT_NEAR(r->x, -2.9, 0.05) << "beside the touchline of its own half";
    EXPECT_NEAR(r->y, -9.0, 0.05);
    std::ifstream in(trace);
    std::string line;
    int events = 0;
    while (std::getline(in, line)) {
        if (line.find("\"event\":{\"type\":\"moved\",\"reason\":\"off the field\","
                      "\"side\":\"left\",\"unum\":3") != std::string::npos)
            ++events;
    }
    EXPECT_EQ(events, 1);
}

TEST_F(ServerFixture, SayReachesTeammatesOnceInTheNextStep) {
    Conn a(server_->port()), b(server_->port()), c(server_->port());
    join(a, 1, "ONE");
    join(b, 2, "ONE");
    join(c, 1, "TWO");
    a.send("(say first)(say second)");
    // Earlier messages may still be queued: read the next few of each.
    std::string ma, mb, mc;
    for (int i = 0; i < 8; ++i) {
        ma += a.recv();
        mb += b.recv();
        mc += c.recv();
        a.send("(syn)");
        b.send("(syn)");
        c.send("(syn)");
    }
    EXPECT_NE(ma.find("self second)"), std::string::npos) << ma;
    EXPECT_EQ(ma.find("first"), std::string::npos) << ma;
    EXPECT_NE(mb.find(" second)"), std::string::npos) << mb;
    EXPECT_EQ(mb.find("first"), std::string::npos) << mb;
    EXPECT_EQ(mb.find("self"), std::string::npos) << mb;
    EXPECT_EQ(mc.find("(hear"), std::string::npos) << mc;
}

namespace {

// Lockstep with a long deadline, to tell a silent robot's short wait from
// the deadline.
class SlowDeadlineFixture : public ServerFixture {
protected:
    ServerOptions options() const override {
        ServerOptions o = ServerFixture::options();
        o.deadline = 1.0;
        o.silentWait = 0.02;
        return o;
    }
};

}  // namespace

TEST_F(SlowDeadlineFixture, ARobotThatSaysNothingCostsTheDeadlineOnlyOnce) {
    Conn talker(server_->port()), silent(server_->port());
    join(talker, 1, "A");
    join(silent, 2, "A");
    // Earlier messages may still be queued: drain both, then let the silent
    // one stop answering while the other answers every message.
    settle({&talker, &silent});
    const long lateBefore = server_->lateReplies();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) {
        ASSERT_NE(talker.recv(), "");
        talker.send("(syn)");
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // 20 full deadlines would take at least 20 s; the first miss costs one
    // deadline, the others the short wait (about 1.4 s in all). The bound
    // leaves a stalled machine more than ten seconds.
    EXPECT_LT(elapsed, 12.0);
    EXPECT_GE(server_->lateReplies() - lateBefore, 18);
    // Answering again, it is awaited as before: no further late replies.
    std::string m;
    for (int i = 0; i < 200 && m.find("(GS") == std::string::npos; ++i)
        m = silent.recv(0.0);
    const long lateAfter = server_->lateReplies();
    for (int i = 0; i < 10; ++i) {
        silent.send("(syn)");
        talker.send("(syn)");
        ASSERT_NE(silent.recv(), "");
        ASSERT_NE(talker.recv(), "");
    }
    EXPECT_LE(server_->lateReplies() - lateAfter, 2);
}

namespace {

// The head yaw angle in a perceptor message, degrees.
double headYaw(const std::string& msg) {
    const size_t at = msg.find("(HJ (n hj1) (ax ");
    return at == std::string::npos ? 1e9 : std::strtod(msg.c_str() + at + 16, nullptr);
}

}  // namespace

TEST_F(ServerFixture, TheLaterOfTwoCommandsForOneJointWins) {
    Conn a(server_->port()), b(server_->port());
    join(a, 1, "A");
    join(b, 2, "A");
    settle({&a, &b});
    std::string ma, mb;
    for (int i = 0; i < 10; ++i) {
        a.send("(he1 3)(he1 -3)");
        b.send("(he1 -3)(he1 3)");
        ma = a.recv();
        mb = b.recv();
    }
    // About 3 rad/s for most of 0.2 s: well past 20 degrees, each its own way.
    EXPECT_LT(headYaw(ma), -20.0) << ma.substr(0, 400);
    EXPECT_GT(headYaw(mb), 20.0) << mb.substr(0, 400);
}

namespace {

using simtest::Answer;

// What the server made of each message of a scripted robot.
struct Bookkeeping {
    simtest::RobotState state;  // the state line of the step after the message
    bool late = false;          // a `late` line names this message
};

// A scripted robot (left 1) and one that answers every message at once
// (left 2) in lockstep for `steps` messages; the bookkeeping of each
// message but the last (whose step never comes) read from the trace.
struct LagRun {
    std::vector<Bookkeeping> scripted, steady;
    long lateLines = 0;
    long lateReplies = 0;
    long laggingSteps = 0;
};

LagRun lagRun(const std::string& tracePath, const std::vector<Answer>& script, int steps) {
    ServerOptions o;
    o.port = 0;
    o.controlPort = -1;
    o.lockstep = true;
    // A reply held back arrives at once with the next message: a generous
    // short wait keeps a loaded machine from making that step look silent.
    o.deadline = 1.0;
    o.silentWait = 0.25;
    o.referee.automaticKickOff = false;
    o.traceFile = tracePath;
    o.maxSteps = steps;
    LagRun out;
    auto server = std::make_unique<Server>(o);
    if (!server->start())
        return out;
    simtest::ScriptedRobot scripted(server->port(), 1, "A", script);
    simtest::ScriptedRobot steady(server->port(), 2, "A", {});
    std::thread thread([&] { server->run(); });
    // The steady robot answers first: a slow scripted reply must not hold
    // back the steady one.
    for (int i = 0; i < steps; ++i) {
        if (!steady.step() || !scripted.step())
            break;
    }
    thread.join();
    out.lateReplies = server->lateReplies();
    out.laggingSteps = server->laggingSteps();
    server.reset();  // closes the trace

    // Message times, and the trace: the state line of time T + 0.02 holds
    // the bookkeeping of the message of time T, a late line its time.
    std::map<long, simtest::State> states;
    std::map<int, std::set<long>> late;
    const auto key = [](double t) { return std::lround(t * 100); };
    std::ifstream in(tracePath);
    std::string line;
    while (std::getline(in, line)) {
        const size_t at = line.find("\"late\":");
        if (at != std::string::npos) {
            ++out.lateLines;
            const size_t u = line.find("\"unum\":", at);
            if (u != std::string::npos)
                late[std::atoi(line.c_str() + u + 7)].insert(key(std::atof(line.c_str() + 8)));
            continue;
        }
        const simtest::State st = simtest::parseState(line);
        if (st.valid)
            states[key(st.time)] = st;
    }
    const auto book = [&](const simtest::ScriptedRobot& r, int unum) {
        std::vector<Bookkeeping> b;
        for (const std::string& m : r.messages()) {
            const size_t at = m.find("(now ");
            if (at == std::string::npos)
                break;
            const long t = key(std::atof(m.c_str() + at + 5));
            auto it = states.find(t + 2);
            if (it == states.end() || !it->second.robot("left", unum))
                break;
            b.push_back({*it->second.robot("left", unum), late[unum].count(t) > 0});
        }
        return b;
    };
    out.scripted = book(scripted, 1);
    out.steady = book(steady, 2);
    return out;
}

std::vector<Answer> scriptFrom(int first, std::initializer_list<Answer> then, Answer rest,
                               int steps) {
    std::vector<Answer> s(first, Answer::Now);
    s.insert(s.end(), then);
    s.resize(steps, rest);
    return s;
}

// Every unanswered message has its late line, and the robot that always
// answers at once is never late nor lagging.
void expectHonestLateLines(const LagRun& r) {
    for (size_t i = 0; i < r.scripted.size(); ++i)
        EXPECT_EQ(r.scripted[i].late, !r.scripted[i].state.answered) << "message " << i;
    for (size_t i = 0; i < r.steady.size(); ++i) {
        EXPECT_TRUE(r.steady[i].state.answered) << "message " << i;
        EXPECT_EQ(r.steady[i].state.lag, 0) << "message " << i;
        EXPECT_FALSE(r.steady[i].late) << "message " << i;
    }
    EXPECT_EQ(r.lateReplies, r.lateLines);
}

// From message `from` on, every message answered in its step.
void expectInPaceFrom(const LagRun& r, int from) {
    for (size_t i = from; i < r.scripted.size(); ++i) {
        EXPECT_TRUE(r.scripted[i].state.answered) << "message " << i;
        EXPECT_EQ(r.scripted[i].state.lag, 0) << "message " << i;
    }
}

}  // namespace

TEST(LockstepReplies, ARobotThatStaysOneFrameBehindIsInPaceAfterTheWholeDeadline) {
    tovra::test::ScratchDir dir;
    const int steps = 16, first = 5;
    // One silent step, then a reply to each message at once (what an agent
    // does when its beam window of silence is cut short after one message),
    // and every reply from message 5 on held back to the next message: the
    // frames alone cannot tell the two apart, so both are counted alike.
    const std::pair<const char*, Answer> cases[] = {{"silent once", Answer::Drop},
                                                    {"held back", Answer::Later}};
    for (const auto& [name, answer] : cases) {
        SCOPED_TRACE(name);
        const Answer rest = answer == Answer::Drop ? Answer::Now : Answer::Later;
        const LagRun r = lagRun(dir.path() + "/" + name + ".jsonl",
                                scriptFrom(first, {answer}, rest, steps), steps);
        ASSERT_EQ(r.scripted.size(), size_t(steps - 1));
        expectHonestLateLines(r);
        for (int i = 0; i < first; ++i)
            EXPECT_TRUE(r.scripted[i].state.answered) << "message " << i;
        EXPECT_FALSE(r.scripted[first].state.answered);
        EXPECT_EQ(r.scripted[first].state.lag, 0);
        // Its next frame is taken as the late answer to the missed message;
        // given the whole deadline it sends no second one, so what it owes
        // is written off.
        EXPECT_FALSE(r.scripted[first + 1].state.answered);
        EXPECT_EQ(r.scripted[first + 1].state.lag, 1);
        expectInPaceFrom(r, first + 2);
        EXPECT_EQ(r.lateReplies, 2);
        EXPECT_EQ(r.laggingSteps, 1);
    }
}

TEST(LockstepReplies, ARobotThatCatchesUpIsInPaceAgain) {
    tovra::test::ScratchDir dir;
    const int steps = 14, first = 5;
    {
        SCOPED_TRACE("one late, then a step without a frame");
        // Message 5 answered with the arrival of 6, whose reply is dropped;
        // nothing is sent in the step of 7; 8 on answered at once.
        const LagRun r = lagRun(
            dir.path() + "/skip.jsonl",
            scriptFrom(first, {Answer::Later, Answer::Later, Answer::Drop}, Answer::Now, steps),
            steps);
        ASSERT_EQ(r.scripted.size(), size_t(steps - 1));
        expectHonestLateLines(r);
        EXPECT_FALSE(r.scripted[first].state.answered);
        EXPECT_EQ(r.scripted[first + 1].state.lag, 1);
        EXPECT_FALSE(r.scripted[first + 2].state.answered);
        EXPECT_EQ(r.scripted[first + 2].state.lag, 0) << "silent for a step: re-synchronised";
        expectInPaceFrom(r, first + 3);
        EXPECT_EQ(r.lateReplies, 3);
        EXPECT_EQ(r.laggingSteps, 1);
    }
    {
        SCOPED_TRACE("one late, then two replies in one step");
        // The late reply to 5 and the reply to 6 both arrive in the step of
        // 6: the step waits for the second, so the robot is in pace again.
        const LagRun r = lagRun(dir.path() + "/both.jsonl",
                                scriptFrom(first, {Answer::Later}, Answer::Now, steps), steps);
        ASSERT_EQ(r.scripted.size(), size_t(steps - 1));
        expectHonestLateLines(r);
        EXPECT_FALSE(r.scripted[first].state.answered);
        expectInPaceFrom(r, first + 1);
        EXPECT_EQ(r.lateReplies, 1);
        EXPECT_EQ(r.laggingSteps, 0);
    }
    {
        SCOPED_TRACE("one late, then a reply slower than a silent robot's wait");
        // The late reply to 5 arrives with 6, whose own reply takes longer
        // than the short wait of a silent robot: a robot that is replying is
        // given the whole deadline, so it is in pace again from 6 on.
        const LagRun r =
            lagRun(dir.path() + "/slow.jsonl",
                   scriptFrom(first, {Answer::Later, Answer::Slow}, Answer::Now, steps), steps);
        ASSERT_EQ(r.scripted.size(), size_t(steps - 1));
        expectHonestLateLines(r);
        EXPECT_FALSE(r.scripted[first].state.answered);
        expectInPaceFrom(r, first + 1);
        EXPECT_EQ(r.lateReplies, 1);
        EXPECT_EQ(r.laggingSteps, 0);
    }
}

namespace {

struct RunResult {
    std::string trace;     // the server's trace
    std::string messages;  // every message both robots received
    bool late = false;     // a reply missed its step
};

// Two scripted robots play 250 lockstep steps: one beamed beside the ball
// flails its joints, the other walks its joints through a slower pattern
// and speaks. Both connect and send their scene and init before the
// server's loop starts, so they enter in the same model build. Their
// replies depend only on the time, not on what they perceive.
RunResult lockstepRun(const std::string& tracePath, bool noise, std::uint64_t seed = 1) {
    ServerOptions o;
    o.noise = noise;
    o.seed = seed;
    o.port = 0;
    o.controlPort = -1;
    o.lockstep = true;
    // Both robots answer every message at once; a deadline this long is
    // missed only by a machine that has stalled the test for many seconds.
    o.deadline = 30.0;
    o.referee.automaticKickOff = true;
    o.referee.kickOffWait = 0.5;
    o.traceFile = tracePath;
    o.maxSteps = 250;  // the server ends after the replies to its 250th message
    auto server = std::make_unique<Server>(o);
    RunResult out;
    if (!server->start())
        return out;
    Conn a(server->port()), b(server->port());
    a.send("(scene rsg/agent/nao/nao.rsg)(init (unum 1)(teamname ONE))");
    b.send("(scene rsg/agent/nao/nao.rsg)(init (unum 1)(teamname TWO))");
    std::thread thread([&] { server->run(); });
    Conn* conns[2] = {&a, &b};
    for (int step = 0; step < 250; ++step) {
        for (int k = 0; k < 2; ++k) {
            const std::string m = conns[k]->recv();
            out.messages += m;
            const size_t at = m.find("(now ");
            const double t = at == std::string::npos ? 0 : std::strtod(m.c_str() + at + 5, nullptr);
            std::string reply;
            if (m.find("BeforeKickOff") != std::string::npos)
                reply += k == 0 ? "(beam -0.25 0.1 0)" : "(beam -3 2 0)";
            const char* joints[] = {"he1",  "he2",  "lle1", "rle1", "lle2", "rle2", "lle3", "rle3",
                                    "lle4", "rle4", "lle5", "rle5", "lle6", "rle6", "lae1", "rae1",
                                    "lae2", "rae2", "lae3", "rae3", "lae4", "rae4"};
            for (int j = 0; j < 22; ++j) {
                const double v = k == 0 ? 4.0 * std::sin(2.1 * t * (j + 1) + 0.3 * j)
                                        : 1.5 * std::sin(0.7 * t * (j % 5 + 1));
                char buf[48];
                std::snprintf(buf, sizeof buf, "(%s %.4f)", joints[j], v);
                reply += buf;
            }
            if (k == 1 && step % 40 == 0)
                reply += "(say hello" + std::to_string(step) + ")";
            conns[k]->send(reply);
        }
    }
    thread.join();
    out.late = server->lateReplies() > 0;
    server.reset();  // closes the trace
    std::FILE* f = std::fopen(tracePath.c_str(), "r");
    if (f) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            out.trace.append(buf, n);
        std::fclose(f);
    }
    return out;
}

}  // namespace

TEST(Lockstep, TheSameMatchTwiceWithoutNoiseAndWithNoiseOfOneSeed) {
    tovra::test::ScratchDir dir;
    const std::string path = dir.path() + "/trace.jsonl";
    for (int attempt = 0; attempt < 3; ++attempt) {
        const RunResult exact[2] = {lockstepRun(path, false), lockstepRun(path, false)};
        const RunResult noisy[2] = {lockstepRun(path, true, 7), lockstepRun(path, true, 7)};
        const RunResult otherSeed = lockstepRun(path, true, 8);
        if (exact[0].late || exact[1].late || noisy[0].late || noisy[1].late || otherSeed.late)
            continue;  // a reply missed its step: the runs need not agree
        ASSERT_FALSE(exact[0].trace.empty());
        // Something happened: the kick-off, and the robots moved.
        EXPECT_NE(exact[0].trace.find("\"playMode\":\"KickOff_Left\""), std::string::npos);
        EXPECT_NE(exact[0].messages.find("(hear "), std::string::npos);
        EXPECT_TRUE(exact[0].trace == exact[1].trace) << "the traces differ";
        EXPECT_TRUE(exact[0].messages == exact[1].messages) << "the perceptor messages differ";
        EXPECT_TRUE(noisy[0].trace == noisy[1].trace) << "the traces differ with noise";
        EXPECT_TRUE(noisy[0].messages == noisy[1].messages)
            << "the perceptor messages differ with noise of one seed";
        // The noise is in the perceptions only: the world and the trace
        // stay exact.
        EXPECT_TRUE(noisy[0].trace == exact[0].trace) << "noise changed the ground truth";
        EXPECT_FALSE(noisy[0].messages == exact[0].messages) << "no noise in the messages";
        EXPECT_FALSE(otherSeed.messages == noisy[0].messages) << "another seed, the same noise";
        return;
    }
    FAIL() << "every attempt had a reply later than 30 s: the runs could not be compared";
}

namespace {

struct RealTimeRun {
    long steps = 0, late = 0, lagging = 0;
    int answered = 0;
    double wall = 0;
};

// Two robots that answer every message at once, 100 real-time steps.
RealTimeRun realTimeRun(int steps) {
    ServerOptions o;
    o.port = 0;
    o.controlPort = -1;
    o.noise = false;
    o.referee.automaticKickOff = false;
    o.maxSteps = steps;
    Server server(o);
    RealTimeRun r;
    if (!server.start())
        return r;
    simtest::ScriptedRobot a(server.port(), 1, "A", {}), b(server.port(), 2, "A", {});
    std::thread thread([&] {
        const auto start = std::chrono::steady_clock::now();
        server.run();
        r.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    });
    while (a.step(0.5) && b.step(0.5))
        ++r.answered;
    thread.join();
    r.steps = server.steps();
    r.late = server.lateReplies();
    r.lagging = server.laggingSteps();
    return r;
}

}  // namespace

TEST(RealTime, StepsKeepTheWallClockAndPromptRepliesCountInTime) {
    const int steps = 100;  // 2 s
    // A machine busy with other work can hold the robots' thread back past
    // a step's 20 ms in any one run: up to three runs, the first that keeps
    // time counts. A server that steps too fast or miscounts prompt replies
    // fails all three.
    std::string attempts;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const RealTimeRun r = realTimeRun(steps);
        ASSERT_EQ(r.steps, steps);
        // One step every 0.02 s of wall time: never faster.
        ASSERT_GE(r.wall, steps * World::kStepTime - 0.02);
        EXPECT_EQ(r.lagging, 0);
        // Slower only by what a busy machine costs; robots that answer at
        // once are late at most in the steps in which they joined (the
        // model build) or a stalled machine delayed them.
        if (r.wall < steps * World::kStepTime * 1.5 && r.answered >= steps - 5 && r.late <= 2 * 5)
            return;
        attempts += " [wall " + std::to_string(r.wall) + " s, answered " +
                    std::to_string(r.answered) + ", late " + std::to_string(r.late) + "]";
    }
    ADD_FAILURE() << "no run kept time:" << attempts;
}
