// The perceptor message: grammar and vision geometry from known poses.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "Perception.h"
#include "Sexp.h"
#include "World.h"

using namespace tovrasim;

namespace {

constexpr double kCameraHeight = 0.385 + 0.09 + 0.065 + 0.01;  // standing, head level

struct Seen {
    double d, theta, phi;
};

// Landmarks and the ball of a message's See block, by name.
std::map<std::string, Seen> seenObjects(const std::string& msg) {
    std::string err;
    std::map<std::string, Seen> out;
    for (const Sexp& e : Sexp::parse(msg, err)) {
        if (e.head() != "See")
            continue;
        for (size_t i = 1; i < e.items.size(); ++i) {
            const Sexp& o = e.items[i];
            const Sexp* pol = o.find("pol");
            if (!pol || pol->items.size() != 4)
                continue;
            out[o.head()] = {std::stod(pol->items[1].text), std::stod(pol->items[2].text),
                             std::stod(pol->items[3].text)};
        }
    }
    EXPECT_EQ(err, "");
    return out;
}

Seen expected(const Vec3& eye, double headingDeg, const Vec3& p) {
    const Vec3 v = p - eye;
    const double d = v.norm();
    const double bearing = rad2deg(std::atan2(v.y, v.x));
    return {d, normDeg(bearing - headingDeg), rad2deg(std::asin(v.z / d))};
}

std::string perceive(World& w, int slot) {
    Perception::Game g;
    g.time = w.time();
    g.seenTeam = {"KALDA", "OTHER"};
    return Perception::message(w, slot, g, true, {}, Perception::Readout::exact(4));
}

void expectSeen(const std::map<std::string, Seen>& seen, const std::string& name, const Seen& e) {
    auto it = seen.find(name);
    ASSERT_NE(it, seen.end()) << name << " not seen";
    EXPECT_NEAR(it->second.d, e.d, 0.02) << name;
    EXPECT_NEAR(it->second.theta, e.theta, 0.2) << name;
    EXPECT_NEAR(it->second.phi, e.phi, 0.2) << name;
}

}  // namespace

TEST(Vision, LandmarksFromTheCentreSpotMatchExactGeometry) {
    World w;
    const int s = w.addRobot(Side::Left, 1, 0, 0, 0);
    w.placeUpright(s, 0, 0, 0);
    w.placeBall({2, 0.5, World::kBallRadius});
    const auto seen = seenObjects(perceive(w, s));
    const Vec3 eye{0, 0, kCameraHeight};
    for (const char* n : {"F1R", "F2R", "G1R", "G2R"}) {
        for (const Landmark& l : Perception::landmarks()) {
            if (std::string(l.name) == n)
                expectSeen(seen, n, expected(eye, 0, l.pos));
        }
    }
    // F1R: 15 ahead, 10 to the left.
    EXPECT_NEAR(seen.at("F1R").theta, 33.69, 0.05);
    // The far end lies behind the camera.
    for (const char* n : {"F1L", "F2L", "G1L", "G2L"})
        EXPECT_EQ(seen.count(n), 0u) << n;
    expectSeen(seen, "B", expected(eye, 0, {2, 0.5, World::kBallRadius}));
}

TEST(Vision, RightSideRobotSeesTheFieldFromTheOtherEnd) {
    World w;
    const int s = w.addRobot(Side::Right, 1, 0, 0, 0);
    // Facing its own forward direction: absolute -x.
    w.placeUpright(s, 3, 2, 180);
    const auto seen = seenObjects(perceive(w, s));
    const Vec3 eye{3, 2, kCameraHeight};
    expectSeen(seen, "F1L", expected(eye, 180, {-15, 10, 0}));
    expectSeen(seen, "G2L", expected(eye, 180, {-15, -1.05, 0.8}));
    // Absolute names: F1L is to this robot's right.
    EXPECT_LT(seen.at("F1L").theta, 0);
    EXPECT_EQ(seen.count("F1R"), 0u);
}

TEST(Vision, AnglesTurnWithTheHeadAndTheFieldOfViewEndsAtSixtyDegrees) {
    World w;
    const int s = w.addRobot(Side::Left, 1, 0, 0, 0);
    std::array<double, 22> a{};
    a[0] = 30;  // head turned 30 degrees to the left
    w.setJointAngles(s, a);
    w.placeUpright(s, 0, 0, 0);
    const auto seen = seenObjects(perceive(w, s));
    const Vec3 eye = w.cameraPos(s);
    EXPECT_NEAR(eye.z, kCameraHeight, 0.003);
    // F1R at 33.7 degrees left of the body appears 3.7 degrees left of the camera.
    expectSeen(seen, "F1R", expected(eye, 30, {15, 10, 0}));
    // F2R at 33.7 degrees right of the body is 63.7 degrees off the camera axis.
    EXPECT_EQ(seen.count("F2R"), 0u);
    // Ball right below the camera is outside the vertical field of view.
    EXPECT_EQ(seen.count("B"), 0u);
}

TEST(Vision, OtherRobotsAppearWithTeamNumberAndParts) {
    World w;
    const int me = w.addRobot(Side::Left, 2, 0, 0, 0);
    const int mate = w.addRobot(Side::Left, 5, 3, 1, 0);
    const int opp = w.addRobot(Side::Right, 7, 4, -1, 180);
    (void)mate;
    (void)opp;
    const std::string msg = perceive(w, me);
    EXPECT_NE(msg.find("(P (team KALDA) (id 5) (head (pol "), std::string::npos) << msg;
    EXPECT_NE(msg.find("(P (team OTHER) (id 7) (head (pol "), std::string::npos) << msg;
    EXPECT_EQ(msg.find("(id 2)"), std::string::npos) << "a robot does not see itself";
    std::string err;
    for (const Sexp& e : Sexp::parse(msg, err)) {
        if (e.head() != "See")
            continue;
        for (const Sexp& o : e.items) {
            if (o.head() != "P")
                continue;
            // team, id, then the five parts in order.
            ASSERT_EQ(o.items.size(), 8u);
            const char* parts[] = {"team",      "id",    "head", "rlowerarm",
                                   "llowerarm", "rfoot", "lfoot"};
            for (int k = 0; k < 7; ++k)
                EXPECT_EQ(o.items[k + 1].head(), parts[k]);
        }
    }
}

TEST(Perceptor, MessageFollowsTheGrammarTheAgentReads) {
    World w;
    const int s = w.addRobot(Side::Right, 9, 0, 0, 0);
    for (int i = 0; i < 5; ++i)
        w.step();
    Perception::Game g;
    g.time = w.time();
    g.gameTime = 12.5;
    g.playMode = "KickOff_Left";
    const std::vector<Heard> heard = {{w.time(), s, "hello"}};
    const std::string msg =
        Perception::message(w, s, g, false, heard, Perception::Readout::exact(2));
    EXPECT_EQ(
        msg.rfind("(time (now 0.10))(GS (unum 9) (team right) (t 12.50) (pm KickOff_Left))", 0), 0u)
        << msg;
    EXPECT_EQ(msg.find("(See"), std::string::npos);
    EXPECT_NE(msg.find("(GYR (n torso) (rt "), std::string::npos);
    EXPECT_NE(msg.find("(ACC (n torso) (a "), std::string::npos);
    EXPECT_NE(msg.find("(hear 0.10 self hello)"), std::string::npos);
    std::string err;
    std::vector<std::string> joints;
    int frp = 0;
    for (const Sexp& e : Sexp::parse(msg, err)) {
        if (e.head() == "HJ")
            joints.push_back(e.find("n")->items[1].text);
        if (e.head() == "FRP") {
            ++frp;
            ASSERT_NE(e.find("c"), nullptr);
            ASSERT_NE(e.find("f"), nullptr);
            EXPECT_GT(std::stod(e.find("f")->items[3].text), 5.0);
        }
    }
    EXPECT_EQ(err, "");
    EXPECT_EQ(frp, 2);
    const std::vector<std::string> order = {
        "hj1",  "hj2",  "llj1", "rlj1", "llj2", "rlj2", "llj3", "rlj3", "llj4", "rlj4", "llj5",
        "rlj5", "llj6", "rlj6", "laj1", "raj1", "laj2", "raj2", "laj3", "raj3", "laj4", "raj4"};
    EXPECT_EQ(joints, order);
}

TEST(Perceptor, TeammatesHearWithDirectionOpponentsDoNot) {
    World w;
    const int a = w.addRobot(Side::Left, 1, 0, 0, 0);
    const int b = w.addRobot(Side::Left, 2, 0, 5, 0);  // 5 m to the speaker's left
    const int c = w.addRobot(Side::Right, 3, 0, -5, 0);
    const std::vector<Heard> heard = {{1.5, a, "pass"}};
    Perception::Game g;
    const std::string mb =
        Perception::message(w, b, g, false, heard, Perception::Readout::exact(2));
    const std::string mc =
        Perception::message(w, c, g, false, heard, Perception::Readout::exact(2));
    // b faces +x; the speaker stands straight to its right.
    EXPECT_NE(mb.find("(hear 1.50 -90.00 pass)"), std::string::npos) << mb;
    EXPECT_EQ(mc.find("(hear"), std::string::npos);
}

TEST(Perceptor, NumbersPrintAsPrintfPrintsThem) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> wide(-2000.0, 2000.0), small(-0.02, 0.02);
    auto same = [](double v, int decimals) {
        std::string fast;
        Perception::appendFixed(fast, v, decimals);
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
        return fast == buf ? ::testing::AssertionSuccess()
                           : ::testing::AssertionFailure()
                                 << v << " with " << decimals << ": " << fast << " vs " << buf;
    };
    for (int decimals = 0; decimals <= Perception::kMaxDecimals; ++decimals) {
        for (double v :
             {0.0,     -0.0,  0.0004, -0.0004, 0.0005,        0.004,     -0.004,    0.005,  0.015,
              0.125,   0.375, 0.5,    2.5,     9.995,         9.9995,    99.99,     -180.0, 351.77,
              12.3455, 1e8,   1e11,   -1e13,   123456789.125, 1.0 / 0.0, -1.0 / 0.0}) {
            EXPECT_TRUE(same(v, decimals));
        }
        for (int i = 0; i < 5000; ++i) {
            EXPECT_TRUE(same(wide(rng), decimals));
            EXPECT_TRUE(same(small(rng), decimals));
        }
    }
    std::string two;
    Perception::appendFixed2(two, 1.005);
    EXPECT_EQ(two, "1.00");  // 1.005 is a little below the half in binary, as printf knows
}

// Digits after the point of each number in `text`, in order.
static std::vector<int> decimalsOfNumbers(const std::string& text) {
    std::vector<int> out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '.' || i == 0 || !std::isdigit(static_cast<unsigned char>(text[i - 1])))
            continue;
        size_t j = i + 1;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])))
            ++j;
        out.push_back(static_cast<int>(j - i - 1));
        i = j;
    }
    return out;
}

TEST(Perceptor, SeeValuesCarryTheAskedDecimalsOtherPerceptorsTwo) {
    // A crowd of 21 robots in front of the viewer: the fullest See block a
    // match can produce must still fit the agent's limit for one message,
    // with the most decimals a survey asks for and with noise.
    World w;
    std::vector<World::NewRobot> robots;
    for (int i = 0; i < 22; ++i) {
        const Side side = i < 11 ? Side::Left : Side::Right;
        const double x = i == 0 ? -6 : -3 + (i % 6) * 1.2, y = i == 0 ? 0 : -3 + (i / 6) * 1.5;
        robots.push_back({side, i % 11 + 1, x, y, 0});
    }
    const std::vector<int> slots = w.addRobots(robots);
    ASSERT_EQ(slots.size(), 22u);
    ASSERT_GE(slots[0], 0);
    w.placeBall({-4, 0.3, World::kBallRadius});
    Perception::Game g;
    g.time = 1.0;
    g.seenTeam = {"KALDA", "KALDA_R"};
    SensorNoise noise(NoiseModel{}, 5, 0, 1);
    Perception::Readout noisy;
    noisy.noise = &noise;
    EXPECT_EQ(noisy.seeDecimals, 2) << "the default";
    for (const Perception::Readout& readout :
         {Perception::Readout::exact(4), Perception::Readout::exact(2), noisy}) {
        const std::string msg = Perception::message(w, slots[0], g, true, {}, readout);
        EXPECT_LT(msg.size(), 16380u) << "longer than the agent reads";
        if (readout.seeDecimals == 4)
            std::cout << "message of a robot seeing 21 others: " << msg.size() << " bytes\n";

        const size_t see = msg.find("(See");
        ASSERT_NE(see, std::string::npos);
        const std::string seeBlock = msg.substr(see);
        const std::string rest = msg.substr(0, see);
        const std::vector<int> seeDecimals = decimalsOfNumbers(seeBlock);
        // Landmarks, the ball and all five parts of at least 20 robots.
        EXPECT_GE(seeDecimals.size(), 3u * (4 + 1 + 5 * 20)) << seeBlock;
        for (int d : seeDecimals)
            ASSERT_EQ(d, readout.seeDecimals) << seeBlock;
        for (int d : decimalsOfNumbers(rest))
            ASSERT_EQ(d, 2) << rest;
    }
}
