// The real agent program against the simulator: the handshake, beaming in
// BeforeKickOff on both sides, the lying report, and the referee's restarts
// for a ball pushed out over each line and into each goal while the agents
// play. The simulator runs in this process, in lockstep, so the tests wait
// for simulated time, not wall time.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Server.h"
#include "SimTestSupport.h"
#include "support/ChildProcess.h"
#include "support/ScratchDir.h"

namespace {

namespace ts = tovrasim;
using simtest::Conn;
using simtest::parseState;
using simtest::State;
using tovra::test::ChildProcess;
using tovra::test::ScratchDir;

// Home position (x, y, facing) of a uniform number in the normal formation
// of the agent's formation file.
struct Home {
    double x = 0, y = 0, angle = 0;
    bool found = false;
};

Home homeOf(int unum) {
    std::ifstream in(std::string(TOVRA_DATA_DIR) + "/formation.conf");
    std::string line;
    std::vector<int> unums;
    bool normal = false;
    Home h;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "unums") {
            int u;
            while (words >> u)
                unums.push_back(u);
        } else if (key == "id") {
            int id = -1;
            words >> id;
            normal = id == 0;
        } else if (normal && (key == "homePosX" || key == "homePosY" || key == "homePosZ")) {
            double v;
            for (size_t k = 0; k < unums.size() && words >> v; ++k) {
                if (unums[k] != unum)
                    continue;
                (key == "homePosX" ? h.x : key == "homePosY" ? h.y : h.angle) = v;
                h.found = key == "homePosZ" || h.found;
            }
        }
    }
    return h;
}

class AgentProtocol : public ::testing::Test {
protected:
    void SetUp() override {
        // The agents run in a scratch directory holding a copy of the
        // run-time data (they write l.txt there).
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::copy(TOVRA_DATA_DIR, dir_.path(), fs::copy_options::recursive, ec);
        ASSERT_FALSE(ec) << ec.message();

        ts::ServerOptions o;
        o.port = 0;
        o.controlPort = 0;
        o.lockstep = true;
        o.deadline = 1.0;                    // generous: sanitizer builds and loaded machines
        o.referee.automaticKickOff = false;  // BeforeKickOff until a test moves on
        o.referee.goalPause = 1.0;
        o.referee.restartTimeout = 1000;
        o.traceFile = dir_.path() + "/trace.jsonl";
        server_ = std::make_unique<ts::Server>(o);
        ASSERT_TRUE(server_->start());
        thread_ = std::thread([this] { server_->run(); });
    }
    void TearDown() override {
        // Closing the connections ends the agents.
        server_->stop();
        thread_.join();
        server_.reset();
        for (auto& a : agents_)
            EXPECT_TRUE(a->wait(10000)) << "an agent did not end with its connection";
        agents_.clear();
    }

    void startAgent(int unum) {
        agents_.push_back(std::make_unique<ChildProcess>(
            TOVRA_BINARY,
            std::vector<std::string>{"--port", std::to_string(server_->port()), "--unum",
                                     std::to_string(unum)},
            dir_.path()));
    }

    std::string control(const std::string& cmd) {
        Conn c(server_->controlPort());
        c.send(cmd);
        return c.recv(30.0);
    }
    State state() { return parseState(control("(state)")); }

    // Polls the ground truth until `done` holds; false once `simSeconds` of
    // simulated time have passed without it (or a minute of wall time).
    bool waitFor(const std::function<bool(const State&)>& done, double simSeconds,
                 State* last = nullptr) {
        const auto wallEnd = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        double start = -1;
        State s;
        while (std::chrono::steady_clock::now() < wallEnd) {
            s = state();
            if (last)
                *last = s;
            if (s.valid) {
                if (done(s))
                    return true;
                if (start < 0)
                    start = s.time;
                if (s.time - start > simSeconds)
                    return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    // The ground truth after `simSeconds` more of simulated time.
    State after(double simSeconds) {
        State s;
        waitFor([](const State&) { return false; }, simSeconds, &s);
        return s;
    }

    // Sends the commands in one frame (so they take effect between the same
    // two steps) and returns their replies.
    std::string controlTogether(const std::string& cmds, int count) {
        Conn c(server_->controlPort());
        c.send(cmds);
        std::string replies;
        for (int k = 0; k < count; ++k)
            replies += c.recv(30.0);
        return replies;
    }

    // Share of the steps from simulated time `from` on in which the robot
    // answered in time, from the trace (a reply delayed past the deadline on
    // a stalled machine counts against it, but does not fail a test alone).
    double answeredShare(const char* side, int unum, double from, bool playOnOnly = false) {
        std::ifstream trace(dir_.path() + "/trace.jsonl");
        std::string line;
        int steps = 0, answered = 0;
        while (std::getline(trace, line)) {
            const State t = parseState(line);
            const simtest::RobotState* r = t.valid ? t.robot(side, unum) : nullptr;
            if (!r || t.time < from || (playOnOnly && t.playMode != "PlayOn"))
                continue;
            ++steps;
            answered += r->answered ? 1 : 0;
        }
        return steps > 0 ? static_cast<double>(answered) / steps : 0.0;
    }

    // The robot of `side` and `unum` is in play and answering.
    static bool playing(const State& s, const char* side, int unum) {
        const simtest::RobotState* r = s.robot(side, unum);
        return r && r->answered;
    }

    ScratchDir dir_;
    std::unique_ptr<ts::Server> server_;
    std::thread thread_;
    std::vector<std::unique_ptr<ChildProcess>> agents_;
};

}  // namespace

TEST_F(AgentProtocol, HandshakeAndBeamPutBothSidesAtTheirHomePositions) {
    const int unum = 3;
    const Home home = homeOf(unum);
    ASSERT_TRUE(home.found) << "no home position for " << unum;
    // Both agents call their team KALDA: the first to claim the number
    // plays left, the second right.
    startAgent(unum);
    State s;
    ASSERT_TRUE(waitFor([&](const State& st) { return playing(st, "left", unum); }, 10.0, &s))
        << "the first agent did not come into play";
    startAgent(unum);
    auto atHome = [&](const State& st, const char* side, double sign) {
        const simtest::RobotState* r = st.robot(side, unum);
        return r && std::hypot(r->x - sign * home.x, r->y - sign * home.y) < 0.05;
    };
    ASSERT_TRUE(waitFor(
        [&](const State& st) {
            return playing(st, "right", unum) && atHome(st, "left", 1) && atHome(st, "right", -1);
        },
        10.0, &s))
        << "not both beamed home: " << control("(state)");
    EXPECT_EQ(s.playMode, "BeforeKickOff");
    for (const char* side : {"left", "right"}) {
        const simtest::RobotState* r = s.robot(side, unum);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->team, "KALDA");
        EXPECT_FALSE(r->lying);
        // Facing the opponents' goal: +x for the left side, -x for the right.
        const double facing = std::string(side) == "left" ? home.angle : home.angle + 180.0;
        EXPECT_NEAR(ts::normDeg(r->heading - facing), 0.0, 2.0) << side;
    }
    // Standing at home, both keep answering every step.
    const double from = s.time;
    s = after(1.0);
    EXPECT_GE(answeredShare("left", unum, from), 0.9);
    EXPECT_GE(answeredShare("right", unum, from), 0.9);
    EXPECT_TRUE(atHome(s, "left", 1)) << control("(state)");
}

TEST_F(AgentProtocol, ARobotWhoseTorsoIsLowIsReportedLying) {
    const Home home = homeOf(7);
    ASSERT_TRUE(home.found);
    startAgent(7);
    // Past its beam window: at home and answering.
    ASSERT_TRUE(waitFor(
        [&](const State& st) {
            const simtest::RobotState* r = st.robot("left", 7);
            return r && r->answered && std::hypot(r->x - home.x, r->y - home.y) < 0.05;
        },
        10.0))
        << control("(state)");
    // The agent sends its beam for half a second; then it stands.
    State s = after(1.0);
    ASSERT_NE(s.robot("left", 7), nullptr);
    EXPECT_FALSE(s.robot("left", 7)->lying);
    // In play (no beaming back), on its back, the torso 0.2 m above the
    // ground.
    const double a = -ts::kPi / 4, b = ts::kPi / 4;
    std::ostringstream pose;
    pose << "(playMode PlayOn)(pose left 7 -3 1 0.2 " << std::cos(a) * std::cos(b) << " "
         << std::cos(a) * std::sin(b) << " " << std::sin(a) * std::sin(b) << " "
         << std::sin(a) * std::cos(b) << ")";
    ASSERT_EQ(controlTogether(pose.str(), 2), "(ok)(ok)");
    const double laid = s.time;
    s = after(0.3);
    const simtest::RobotState* lying = s.robot("left", 7);
    ASSERT_NE(lying, nullptr);
    EXPECT_LT(lying->z, 0.25);
    EXPECT_TRUE(lying->lying);
    // The agent keeps answering while it lies.
    EXPECT_GE(answeredShare("left", 7, laid), 0.9);
    // Put back on its feet, it is no longer reported lying.
    ASSERT_EQ(control("(place left 7 -3 1 0)"), "(ok)");
    const State up = state();
    const simtest::RobotState* r = up.robot("left", 7);
    ASSERT_NE(r, nullptr);
    EXPECT_GT(r->z, 0.25);
    EXPECT_FALSE(r->lying);
    // The trace says the same.
    std::ifstream trace(dir_.path() + "/trace.jsonl");
    std::string line;
    bool lyingInTrace = false;
    while (std::getline(trace, line)) {
        const State t = parseState(line);
        const simtest::RobotState* tr = t.valid ? t.robot("left", 7) : nullptr;
        if (tr && tr->lying) {
            EXPECT_LT(tr->z, 0.25);
            lyingInTrace = true;
        }
    }
    EXPECT_TRUE(lyingInTrace);
}

TEST_F(AgentProtocol, RefereeRestartsForABallOverEachLineAndIntoEachGoal) {
    // One robot a side, at the centre; the ball is pushed out far from them.
    startAgent(7);
    ASSERT_TRUE(waitFor([](const State& st) { return playing(st, "left", 7); }, 10.0));
    startAgent(7);
    State s;
    ASSERT_TRUE(waitFor([](const State& st) { return playing(st, "right", 7); }, 10.0, &s));
    const double inPlay = s.time;
    struct Case {
        const char* ball;  // x y z vx vy vz
        const char* mode;
        int left, right;  // score after
    };
    const Case cases[] = {
        {"14.6 5 0.042 3 0 0", "goal_kick_right", 0, 0},
        {"-14.6 -5 0.042 -3 0 0", "goal_kick_left", 0, 0},
        {"5 9.6 0.042 0 3 0", "KickIn_Right", 0, 0},
        {"-5 -9.6 0.042 0 -3 0", "KickIn_Left", 0, 0},
        {"14.6 0.3 1.0 3 0 1", "goal_kick_right", 0, 0},  // over the bar
        {"14.6 0.4 0.042 3 0 0", "Goal_Left", 1, 0},
        {"-14.6 -0.4 0.042 -3 0 0", "Goal_Right", 1, 1},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(controlTogether(std::string("(ball ") + c.ball + ")(playMode PlayOn)", 2),
                  "(ok)(ok)");
        EXPECT_TRUE(waitFor([](const State& st) { return st.playMode != "PlayOn"; }, 2.0, &s))
            << c.ball;
        EXPECT_EQ(s.playMode, c.mode) << c.ball;
        EXPECT_EQ(s.score[0], c.left) << c.ball;
        EXPECT_EQ(s.score[1], c.right) << c.ball;
        if (s.playMode == "Goal_Left" || s.playMode == "Goal_Right") {
            // The ball is back at the centre and the conceding side kicks
            // off after the pause.
            EXPECT_NEAR(std::hypot(s.ball[0], s.ball[1]), 0.0, 0.01);
            const std::string kickOff =
                s.playMode == "Goal_Left" ? "KickOff_Right" : "KickOff_Left";
            EXPECT_TRUE(waitFor([&](const State& st) { return st.playMode == kickOff; }, 2.0, &s))
                << s.playMode;
        }
    }
    // Both agents played through all of it (the steps after the goals
    // aside: the agent is silent for half a second of each beam window).
    EXPECT_GE(answeredShare("left", 7, inPlay, true), 0.9);
    EXPECT_GE(answeredShare("right", 7, inPlay, true), 0.9);
}
