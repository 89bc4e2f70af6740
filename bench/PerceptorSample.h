#ifndef TOVRA_BENCH_PERCEPTORSAMPLE_H
#define TOVRA_BENCH_PERCEPTORSAMPLE_H

#include <cstdio>
#include <string>

// A full-size perceptor message of one cycle (about 5 KB): time, game state,
// gyroscope, accelerometer, the 22 hinge joints, both foot-pressure sensors
// and a vision block with the 8 landmarks, the ball and 21 players seen with
// five body parts each. The numbers are made up but plausible and fixed, so
// every call returns the same text.
namespace tovra_bench {

namespace detail {

// A polar reading "(pol D H V)" with values that vary with k.
inline std::string pol(int k) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "(pol %.2f %.2f %.2f)", 1.0 + (k * 37 % 1900) / 100.0,
                  -60.0 + (k * 53 % 12000) / 100.0, -45.0 + (k * 29 % 4000) / 100.0);
    return buffer;
}

inline std::string number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
    return buffer;
}

}  // namespace detail

inline std::string perceptorSample() {
    using detail::number;
    using detail::pol;
    std::string m;
    m += "(time (now 123.46))";
    m += "(GS (unum 5) (team left) (t 62.30) (pm PlayOn))";
    m += "(GYR (n torso) (rt 0.13 -1.27 0.05))";
    m += "(ACC (n torso) (a -0.02 0.11 9.79))";
    const char* joints[22] = {"hj1",  "hj2",  "raj1", "raj2", "raj3", "raj4", "laj1", "laj2",
                              "laj3", "laj4", "rlj1", "rlj2", "rlj3", "rlj4", "rlj5", "rlj6",
                              "llj1", "llj2", "llj3", "llj4", "llj5", "llj6"};
    for (int j = 0; j < 22; ++j) {
        m += "(HJ (n ";
        m += joints[j];
        m += ") (ax " + number(-90.0 + (j * 4111 % 18000) / 100.0) + "))";
    }
    m += "(FRP (n lf) (c 0.02 0.01 -0.02) (f -0.14 0.31 22.53))";
    m += "(FRP (n rf) (c -0.01 0.03 -0.02) (f 0.08 -0.22 21.87))";
    m += "(See";
    const char* landmarks[8] = {"G1L", "G2L", "G1R", "G2R", "F1L", "F2L", "F1R", "F2R"};
    int k = 1;
    for (const char* name : landmarks) {
        m += " (";
        m += name;
        m += " " + pol(k++) + ")";
    }
    m += " (B " + pol(k++) + ")";
    const char* parts[5] = {"head", "rlowerarm", "llowerarm", "rfoot", "lfoot"};
    for (int p = 0; p < 21; ++p) {
        // Ten teammates (every number but the agent's own 5) and eleven opponents.
        const bool mate = p < 10;
        const int id = mate ? (p < 4 ? p + 1 : p + 2) : p - 9;
        m += " (P (team ";
        m += mate ? "KALDA" : "RivalTeam";
        m += ") (id " + std::to_string(id) + ")";
        for (const char* part : parts) {
            m += " (";
            m += part;
            m += " " + pol(k++) + ")";
        }
        m += ")";
    }
    m += ")";
    return m;
}

}  // namespace tovra_bench

#endif
