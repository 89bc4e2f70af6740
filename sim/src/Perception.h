// Builds the perceptor message a robot receives after each step.
#ifndef TOVRA_SIM_PERCEPTION_H
#define TOVRA_SIM_PERCEPTION_H

#include <array>
#include <random>
#include <string>
#include <vector>

#include "World.h"

namespace tovrasim {

struct Polar {
    double d = 0;      // metres
    double theta = 0;  // horizontal angle, degrees, positive to the left
    double phi = 0;    // vertical angle, degrees, positive up
};

struct Landmark {
    const char* name;
    Vec3 pos;  // absolute frame
};

struct Heard {
    double time = 0;
    int speaker = -1;  // robot slot
    std::string text;
};

class Perception {
public:
    static constexpr double kHalfFov = 60.0;  // degrees, both horizontally and vertically
    static constexpr double kHearRange = 50.0;

    static const std::array<Landmark, 8>& landmarks();
    // Polar coordinates of p seen from a camera at `cam` with axes `axes`
    // (columns forward, left, up).
    static Polar polar(const Vec3& cam, const Mat3& axes, const Vec3& p);
    static bool inView(const Polar& p) {
        return std::abs(p.theta) <= kHalfFov && std::abs(p.phi) <= kHalfFov;
    }

    struct Game {
        double time = 0;
        double gameTime = 0;
        const char* playMode = "BeforeKickOff";
        // Team names as the viewer sees them, indexed by Side.
        std::array<std::string, 2> seenTeam;
    };

    // Optional Gaussian observation noise; sigma of distance relative to the
    // distance and of the angles in degrees.
    struct Noise {
        bool enabled = false;
        double distanceRel = 0.01;
        double angleDeg = 0.1;
        std::mt19937* rng = nullptr;
    };

    // Full message for robot `slot`; `vision` adds the See block.
    static std::string message(const World& w, int slot, const Game& g, bool vision,
                               const std::vector<Heard>& heard, const Noise& noise);
    // Message for a client without a robot in play.
    static std::string bareMessage(const Game& g);

    // Decimals of the numbers in the See block (distances in metres, angles
    // in degrees). Near a goal line the agent's trilateration takes the
    // distance across the line from the difference of two long distances
    // and magnifies their rounding: with two decimals it was off by up to
    // 0.27 m 1 to 2 m from the line, with three up to 0.03 m (0.044 m in
    // the worst case 1 m from the line, 0.09 m at 0.5 m), with four 0.0025 m.
    // sim/README.md has the survey. The other perceptors print two.
    static constexpr int kSeeDecimals = 4;
    static constexpr int kMaxDecimals = 6;

    // Appends v exactly as "%.Nf" prints it with N = decimals (0 to
    // kMaxDecimals), mostly without the cost of printf and without
    // allocating beyond `out`'s own growth.
    static void appendFixed(std::string& out, double v, int decimals);
    static void appendFixed2(std::string& out, double v) { appendFixed(out, v, 2); }

private:
    static void appendPolar(std::string& out, const Polar& p);
};

}  // namespace tovrasim

#endif
