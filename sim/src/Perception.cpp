#include "Perception.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tovrasim {

namespace {

constexpr double kPow10[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};

// Half a unit of the last printed digit: anything smaller in magnitude is
// printed as zero, since "-0.00" reads oddly.
double clean(double v, int decimals = 2) {
    return std::abs(v) < 0.5 / kPow10[decimals] ? 0.0 : v;
}

void appendVec(std::string& out, const Vec3& v, int decimals = 2) {
    Perception::appendFixed(out, v.x, decimals);
    out += ' ';
    Perception::appendFixed(out, v.y, decimals);
    out += ' ';
    Perception::appendFixed(out, v.z, decimals);
}

}  // namespace

void Perception::appendFixed(std::string& out, double v, int decimals) {
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    // printf rounds the exact binary value; the product below is rounded
    // once more, which can only matter right at half a unit of the last
    // digit, so those rare values (and huge or non-finite ones) go to printf
    // itself.
    const double scaled = std::abs(v) * kPow10[decimals];
    if (!std::isfinite(v) || scaled >= 1e14 ||
        std::abs(scaled - std::floor(scaled) - 0.5) <= 1e-9 * (1.0 + scaled)) {
        char buf[400];
        const int n = std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
        if (n > 0)
            out.append(buf, std::min<size_t>(static_cast<size_t>(n), sizeof buf - 1));
        return;
    }
    // Units of the last digit, rounded to nearest.
    unsigned long long n = static_cast<unsigned long long>(std::nearbyint(scaled));
    char buf[32];
    char* p = buf + sizeof buf;
    for (int i = 0; i < decimals; ++i) {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    if (decimals > 0)
        *--p = '.';
    do {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    if (std::signbit(v))
        *--p = '-';
    out.append(p, static_cast<size_t>(buf + sizeof buf - p));
}

const std::array<Landmark, 8>& Perception::landmarks() {
    const double hx = World::kFieldLength / 2, hy = World::kFieldWidth / 2;
    const double gy = World::kGoalWidth / 2, gz = World::kGoalHeight;
    static const std::array<Landmark, 8> table = {{
        {"F1L", {-hx, hy, 0}},
        {"F1R", {hx, hy, 0}},
        {"F2L", {-hx, -hy, 0}},
        {"F2R", {hx, -hy, 0}},
        {"G1L", {-hx, gy, gz}},
        {"G1R", {hx, gy, gz}},
        {"G2L", {-hx, -gy, gz}},
        {"G2R", {hx, -gy, gz}},
    }};
    return table;
}

Polar Perception::polar(const Vec3& cam, const Mat3& axes, const Vec3& p) {
    const Vec3 v = axes.transposeTimes(p - cam);  // (forward, left, up)
    Polar out;
    out.d = v.norm();
    if (out.d <= 0)
        return out;
    out.theta = rad2deg(std::atan2(v.y, v.x));
    out.phi = rad2deg(std::asin(std::clamp(v.z / out.d, -1.0, 1.0)));
    return out;
}

void Perception::appendPolar(std::string& out, const Polar& p, int decimals) {
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    out += "(pol ";
    appendVec(out, {p.d, clean(p.theta, decimals), clean(p.phi, decimals)}, decimals);
    out += ")";
}

std::string Perception::bareMessage(const Game& g) {
    std::string out;
    out.reserve(96);
    out += "(time (now ";
    appendFixed2(out, g.time);
    out += "))(GS (t ";
    appendFixed2(out, g.gameTime);
    out += ") (pm ";
    out += g.playMode;
    out += "))";
    return out;
}

std::string Perception::message(const World& w, int slot, const Game& g, bool vision,
                                const std::vector<Heard>& heard, const Readout& readout) {
    std::string out;
    // A robot that sees all 21 others gets about 5.4 KB.
    out.reserve(vision ? 8192 : 1536);
    out += "(time (now ";
    appendFixed2(out, g.time);
    out += "))(GS (unum ";
    out += std::to_string(w.unum(slot));
    out += ") (team ";
    out += sideName(w.side(slot));
    out += ") (t ";
    appendFixed2(out, g.gameTime);
    out += ") (pm ";
    out += g.playMode;
    out += "))";

    SensorNoise* noise = readout.noise;
    const RobotSensors& s = w.sensors(slot);
    const Vec3 gyro = noise ? noise->gyro(s.gyroDeg) : s.gyroDeg;
    const Vec3 acc = noise ? noise->acc(s.acc) : s.acc;
    out += "(GYR (n torso) (rt ";
    appendVec(out, {clean(gyro.x), clean(gyro.y), clean(gyro.z)});
    out += "))(ACC (n torso) (a ";
    appendVec(out, {clean(acc.x), clean(acc.y), clean(acc.z)});
    out += "))";
    const auto& js = RobotModel::joints();
    for (int j = 0; j < RobotModel::kNumJoints; ++j) {
        out += "(HJ (n ";
        out += js[j].perceptor;
        out += ") (ax ";
        appendFixed2(out, clean(noise ? noise->joint(s.jointDeg[j]) : s.jointDeg[j]));
        out += "))";
    }
    const FootPressure* feet[2] = {&s.lf, &s.rf};
    const char* footName[2] = {"lf", "rf"};
    for (int f = 0; f < 2; ++f) {
        if (!feet[f]->contact)
            continue;
        out += "(FRP (n ";
        out += footName[f];
        out += ") (c ";
        appendVec(out, {clean(feet[f]->c.x), clean(feet[f]->c.y), clean(feet[f]->c.z)});
        out += ") (f ";
        appendVec(out, {clean(feet[f]->f.x), clean(feet[f]->f.y), clean(feet[f]->f.z)});
        out += "))";
    }

    if (vision) {
        // The camera as it sits in this robot's head, and what it sees:
        // whether an object is in view depends on the camera alone, the
        // measurement noise only on what is seen.
        Vec3 cam = w.cameraPos(slot);
        Mat3 axes = w.cameraAxes(slot);
        if (noise)
            noise->mountCamera(cam, axes);
        const int decimals = readout.seeDecimals;
        auto observe = [&](const Vec3& p, Polar& pol) {
            pol = polar(cam, axes, p);
            if (!inView(pol))
                return false;
            if (noise)
                noise->observe(pol.d, pol.theta, pol.phi);
            return true;
        };
        Polar p;
        out += "(See";
        for (const Landmark& l : landmarks()) {
            if (!observe(l.pos, p))
                continue;
            out += " (";
            out += l.name;
            out += " ";
            appendPolar(out, p, decimals);
            out += ")";
        }
        if (observe(w.ballPos(), p)) {
            out += " (B ";
            appendPolar(out, p, decimals);
            out += ")";
        }
        static const char* parts[] = {"head", "rlowerarm", "llowerarm", "rfoot", "lfoot"};
        static const int partIndex[] = {
            RobotModel::bodyIndex("head"), RobotModel::bodyIndex("rlowerarm"),
            RobotModel::bodyIndex("llowerarm"), RobotModel::bodyIndex("rfoot"),
            RobotModel::bodyIndex("lfoot")};
        std::string entry;
        for (int other : w.robots()) {
            if (other == slot)
                continue;
            entry.clear();
            for (int k = 0; k < 5; ++k) {
                if (!observe(w.partPos(other, partIndex[k]), p))
                    continue;
                entry += " (";
                entry += parts[k];
                entry += " ";
                appendPolar(entry, p, decimals);
                entry += ")";
            }
            if (entry.empty())
                continue;
            out += " (P (team ";
            out += g.seenTeam[w.side(other) == Side::Left ? 0 : 1];
            out += ") (id ";
            out += std::to_string(w.unum(other));
            out += ")";
            out += entry;
            out += ")";
        }
        out += ")";
    }

    for (const Heard& h : heard) {
        if (h.speaker < 0 || !w.hasRobot(h.speaker))
            continue;
        if (h.speaker == slot) {
            out += "(hear ";
            appendFixed2(out, h.time);
            out += " self ";
            out += h.text;
            out += ")";
            continue;
        }
        if (w.side(h.speaker) != w.side(slot))
            continue;
        const Vec3 from = w.cameraPos(h.speaker);
        const Vec3 to = w.cameraPos(slot);
        if ((from - to).norm() > kHearRange)
            continue;
        const Polar p = polar(to, w.cameraAxes(slot), from);
        out += "(hear ";
        appendFixed2(out, h.time);
        out += " ";
        appendFixed2(out, clean(p.theta));
        out += " ";
        out += h.text;
        out += ")";
    }
    return out;
}

}  // namespace tovrasim
