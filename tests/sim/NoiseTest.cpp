// The sensor noise: the generator's statistics and determinism, the streams
// of robots and seeds, the camera mounting, and the noise as the perceptor
// message carries it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Noise.h"
#include "Perception.h"
#include "Sexp.h"
#include "World.h"

using namespace tovrasim;

namespace {

struct Stats {
    double mean = 0, sd = 0;
};

Stats stats(const std::vector<double>& v) {
    Stats s;
    for (double x : v)
        s.mean += x;
    s.mean /= static_cast<double>(v.size());
    for (double x : v)
        s.sd += (x - s.mean) * (x - s.mean);
    s.sd = std::sqrt(s.sd / static_cast<double>(v.size() - 1));
    return s;
}

// n draws of `draw` have mean `mean` and standard deviation `sd`, within
// five standard errors of each.
void expectNormal(int n, const std::function<double()>& draw, double mean, double sd,
                  const std::string& what) {
    std::vector<double> v(static_cast<size_t>(n));
    for (double& x : v)
        x = draw();
    const Stats s = stats(v);
    EXPECT_NEAR(s.mean, mean, 5 * sd / std::sqrt(n)) << what;
    EXPECT_NEAR(s.sd, sd, 5 * sd / std::sqrt(2.0 * n)) << what;
}

// The yaw of a camera mounting, degrees.
double yawOf(const SensorNoise& n) {
    return rad2deg(std::atan2(n.cameraTilt().m[3], n.cameraTilt().m[0]));
}

}  // namespace

TEST(NoiseSource, UniformAndGaussianHaveTheirMomentsAndTails) {
    Rng rng(42);
    const int n = 200000;
    double sum = 0, smallest = 1;
    for (int i = 0; i < n; ++i) {
        const double u = rng.uniform();
        ASSERT_GT(u, 0.0);
        ASSERT_LE(u, 1.0);
        sum += u;
        smallest = std::min(smallest, u);
    }
    EXPECT_NEAR(sum / n, 0.5, 5 * std::sqrt(1.0 / 12 / n));
    EXPECT_LT(smallest, 1e-3);
    expectNormal(
        n, [&] { return rng.gaussian(); }, 0, 1, "standard normal");
    // The share within one and beyond three standard deviations.
    int within1 = 0, beyond3 = 0;
    for (int i = 0; i < n; ++i) {
        const double g = std::abs(rng.gaussian());
        within1 += g < 1 ? 1 : 0;
        beyond3 += g > 3 ? 1 : 0;
    }
    EXPECT_NEAR(double(within1) / n, 0.6827, 5 * std::sqrt(0.6827 * 0.3173 / n));
    EXPECT_NEAR(double(beyond3) / n, 0.0027, 5 * std::sqrt(0.0027 / n));
}

TEST(NoiseSource, OneSeedOneSequenceOtherSeedsAndStreamsAnother) {
    Rng a(7), b(7), c(8);
    int sameAsOther = 0;
    for (int i = 0; i < 1000; ++i) {
        const double x = a.gaussian();
        ASSERT_EQ(x, b.gaussian());
        sameAsOther += x == c.gaussian() ? 1 : 0;
    }
    EXPECT_EQ(sameAsOther, 0);
    // Stream seeds: each (seed, key) its own.
    std::map<std::uint64_t, int> seen;
    for (std::uint64_t seed = 0; seed < 20; ++seed) {
        for (std::uint64_t key = 0; key < 100; ++key)
            ++seen[streamSeed(seed, key)];
    }
    EXPECT_EQ(seen.size(), 2000u);
    EXPECT_EQ(streamSeed(3, 5), streamSeed(3, 5));
}

TEST(SensorNoise, EachChannelHasTheModelsSpread) {
    NoiseModel m;
    SensorNoise noise(m, 1, 0, 3);
    const int n = 40000;
    expectNormal(
        n,
        [&] {
            double d = 10, theta = 20, phi = -5;
            noise.observe(d, theta, phi);
            return d;
        },
        10, 10 * m.distanceRel, "distance at 10 m");
    expectNormal(
        n,
        [&] {
            double d = 3, theta = 20, phi = -5;
            noise.observe(d, theta, phi);
            return theta;
        },
        20, m.angleDeg, "horizontal angle");
    expectNormal(
        n,
        [&] {
            double d = 3, theta = 20, phi = -5;
            noise.observe(d, theta, phi);
            return phi;
        },
        -5, m.angleDeg, "vertical angle");
    expectNormal(
        n,
        [&] {
            return noise.gyro({1, 2, 3}).y;
        },
        2, m.gyroDegPerSec, "gyroscope");
    expectNormal(
        n,
        [&] {
            return noise.acc({0, 0, 9.81}).z;
        },
        9.81, m.accMps2, "accelerometer");
    expectNormal(
        n, [&] { return noise.joint(-45); }, -45, m.jointDeg, "joint angle");
}

TEST(SensorNoise, RobotsAndSeedsDifferTheMountingStaysWithTheRobot) {
    const NoiseModel m;
    SensorNoise a(m, 1, 0, 5), same(m, 1, 0, 5);
    // The mounting is fixed when the robot's noise is made; the
    // measurements drawn since do not change it.
    const double yaw = yawOf(a);
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(a.joint(0), same.joint(0));
    EXPECT_EQ(yawOf(a), yaw);
    Vec3 p1{1, 2, 0.5}, p2 = p1;
    Mat3 r1, r2;
    a.mountCamera(p1, r1);
    SensorNoise(m, 1, 0, 5).mountCamera(p2, r2);
    EXPECT_EQ(p1.x, p2.x);
    EXPECT_EQ(r1.m[1], r2.m[1]);
    EXPECT_LT((p1 - Vec3{1, 2, 0.5}).norm(), 10 * m.cameraShift);

    // Another side, number or seed: another robot.
    for (const SensorNoise& other :
         {SensorNoise(m, 1, 1, 5), SensorNoise(m, 1, 0, 6), SensorNoise(m, 2, 0, 5)}) {
        EXPECT_NE(yawOf(other), yaw);
        SensorNoise fresh(m, 1, 0, 5), copy = other;
        EXPECT_NE(fresh.joint(0), copy.joint(0));
    }

    // Over many robots the mounting's yaw and shift have the model's spread.
    std::vector<double> yaws, shifts;
    for (int seed = 0; seed < 400; ++seed) {
        for (int unum = 1; unum <= 11; ++unum) {
            const SensorNoise r(m, static_cast<std::uint64_t>(seed), unum % 2, unum);
            yaws.push_back(yawOf(r));
            shifts.push_back(r.cameraShift().x);
        }
    }
    const double n = static_cast<double>(yaws.size());
    EXPECT_NEAR(stats(yaws).sd, m.cameraTiltDeg, 5 * m.cameraTiltDeg / std::sqrt(2 * n));
    EXPECT_NEAR(stats(shifts).sd, m.cameraShift, 5 * m.cameraShift / std::sqrt(2 * n));
}

namespace {

// The numbers of every `head` item in a message, in order (e.g. "HJ" gives
// the 22 joint angles, "GYR" the three rates).
std::vector<double> values(const std::string& msg, const std::string& head,
                           const std::string& sub) {
    std::string err;
    std::vector<double> out;
    for (const Sexp& e : Sexp::parse(msg, err)) {
        if (e.head() != head)
            continue;
        const Sexp* s = e.find(sub);
        for (size_t i = 1; s != nullptr && i < s->items.size(); ++i)
            out.push_back(std::stod(s->items[i].text));
    }
    return out;
}

// The polar coordinates of the landmarks in a message's See block.
std::vector<double> landmarkPolars(const std::string& msg) {
    std::string err;
    std::vector<double> out;
    for (const Sexp& e : Sexp::parse(msg, err)) {
        if (e.head() != "See")
            continue;
        for (size_t i = 1; i < e.items.size(); ++i) {
            const Sexp* pol = e.items[i].head()[0] != 'P' ? e.items[i].find("pol") : nullptr;
            for (size_t k = 1; pol != nullptr && k < pol->items.size(); ++k)
                out.push_back(std::stod(pol->items[k].text));
        }
    }
    return out;
}

}  // namespace

TEST(SensorNoise, TheMessageCarriesTheModelsNoise) {
    World w;
    const int s = w.addRobot(Side::Left, 4, 0, 0, 0);
    w.placeUpright(s, -5, 1, 10);
    for (int i = 0; i < 5; ++i)
        w.step();
    Perception::Game g;
    g.seenTeam = {"KALDA", "OTHER"};
    const std::string exact = Perception::message(w, s, g, true, {}, Perception::Readout::exact(6));

    NoiseModel m;
    SensorNoise noise(m, 3, 0, 4);
    Perception::Readout noisy = Perception::Readout::exact(6);
    noisy.noise = &noise;
    std::vector<double> joint, gyro, acc;
    std::vector<std::vector<double>> seen;
    for (int k = 0; k < 200; ++k) {
        const std::string msg = Perception::message(w, s, g, true, {}, noisy);
        auto diff = [&](const char* head, const char* sub, std::vector<double>& out) {
            const std::vector<double> a = values(msg, head, sub), b = values(exact, head, sub);
            ASSERT_EQ(a.size(), b.size()) << head;
            for (size_t i = 0; i < a.size(); ++i)
                out.push_back(a[i] - b[i]);
        };
        diff("HJ", "ax", joint);
        diff("GYR", "rt", gyro);
        diff("ACC", "a", acc);
        seen.push_back(landmarkPolars(msg));
    }
    const double n = static_cast<double>(joint.size());
    // Two decimals round by up to 0.005: a spread of 0.003 more or less.
    EXPECT_NEAR(stats(joint).sd, m.jointDeg, 5 * m.jointDeg / std::sqrt(2 * n) + 0.003);
    EXPECT_NEAR(stats(gyro).sd, m.gyroDegPerSec, 0.1 * m.gyroDegPerSec);
    EXPECT_NEAR(stats(acc).sd, m.accMps2, 0.1 * m.accMps2 + 0.003);

    // Vision: the mounting offset is the same in every message, so the mean
    // of the observations is off the exact value by it, while each
    // observation scatters about that mean by the measurement noise.
    const std::vector<double> exactSeen = landmarkPolars(exact);
    ASSERT_GE(exactSeen.size(), 6u);
    double largestOffset = 0;
    for (size_t i = 0; i < exactSeen.size(); ++i) {
        std::vector<double> v;
        for (const auto& msg : seen) {
            ASSERT_EQ(msg.size(), exactSeen.size());
            v.push_back(msg[i]);
        }
        const Stats st = stats(v);
        const bool distance = i % 3 == 0;
        const double sd = distance ? m.distanceRel * exactSeen[i] : m.angleDeg;
        EXPECT_NEAR(st.sd, sd, 0.15 * sd) << "observation " << i;
        if (!distance)
            largestOffset = std::max(largestOffset, std::abs(st.mean - exactSeen[i]));
    }
    // A mounting of 0.3 degrees per axis moves angles by tenths of a degree;
    // far more would be a fault.
    EXPECT_GT(largestOffset, 0.05);
    EXPECT_LT(largestOffset, 2.0);
}
