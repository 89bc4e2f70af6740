// Builds the perceptor message a robot receives after each step.
#ifndef TOVRA_SIM_PERCEPTION_H
#define TOVRA_SIM_PERCEPTION_H

#include <array>
#include <string>
#include <vector>

#include "Noise.h"
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

    // Decimals of the numbers in the See block (distances in metres, angles
    // in degrees) unless asked otherwise: two, like every other perceptor
    // number: the noise (1 % of the distance, 0.1 degree) is as large as
    // the last digit or larger. Localization surveys of the exact
    // geometry ask for four: near a goal line the agent's trilateration
    // takes the distance across the line from the difference of two long
    // distances and magnifies their rounding (two decimals: up to 0.27 m
    // 1 to 2 m from the line; four: 0.0025 m). sim/README.md has the survey.
    static constexpr int kSeeDecimals = 2;
    static constexpr int kMaxDecimals = 6;

    // How a robot's perceptors report: the decimals of the See block and
    // the noise of its sensors (none: the exact values).
    struct Readout {
        int seeDecimals = kSeeDecimals;
        SensorNoise* noise = nullptr;
        static Readout exact(int seeDecimals) { return {seeDecimals, nullptr}; }
    };

    // Full message for robot `slot`; `vision` adds the See block.
    static std::string message(const World& w, int slot, const Game& g, bool vision,
                               const std::vector<Heard>& heard, const Readout& readout);
    // Message for a client without a robot in play.
    static std::string bareMessage(const Game& g);

    // Appends v exactly as "%.Nf" prints it with N = decimals (0 to
    // kMaxDecimals), mostly without the cost of printf and without
    // allocating beyond `out`'s own growth.
    static void appendFixed(std::string& out, double v, int decimals);
    static void appendFixed2(std::string& out, double v) { appendFixed(out, v, 2); }

private:
    static void appendPolar(std::string& out, const Polar& p, int decimals);
};

}  // namespace tovrasim

#endif
