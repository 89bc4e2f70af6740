#include "RobotModel.h"

#include <cstdio>
#include <cstring>
#include <sstream>

namespace tovrasim {

namespace {

constexpr double kS = 0.70710678118654752;

// Principal moments of a solid box of full sizes (a, b, c).
Vec3 boxInertia(double m, double a, double b, double c) {
    return {m / 12.0 * (b * b + c * c), m / 12.0 * (a * a + c * c), m / 12.0 * (a * a + b * b)};
}
// Principal moments of a solid sphere; used for the small joint housings.
Vec3 ballInertia(double m, double r) {
    double i = 0.4 * m * r * r;
    return {i, i, i};
}

GeomSpec box(Vec3 c, Vec3 half) {
    GeomSpec g;
    g.kind = GeomKind::Box;
    g.pos = c;
    g.size = half;
    return g;
}
GeomSpec sphere(Vec3 c, double r) {
    GeomSpec g;
    g.kind = GeomKind::Sphere;
    g.pos = c;
    g.size = {r, 0, 0};
    return g;
}
GeomSpec capsule(Vec3 a, Vec3 b, double r) {
    GeomSpec g;
    g.kind = GeomKind::Capsule;
    g.pos = a;
    g.to = b;
    g.size = {r, 0, 0};
    return g;
}

std::string fmt(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    return buf;
}
std::string fmt(const Vec3& v) {
    return fmt(v.x) + " " + fmt(v.y) + " " + fmt(v.z);
}

std::vector<BodySpec> makeBodies() {
    const GeomSpec none;
    const double armR = 0.025;
    std::vector<BodySpec> b;
    // 0: torso, free. 0.1 x 0.1 x 0.18 m.
    b.push_back({"torso",
                 -1,
                 {},
                 -1,
                 1.2171,
                 {},
                 boxInertia(1.2171, 0.1, 0.1, 0.18),
                 box({}, {0.05, 0.05, 0.09})});
    // Head: both neck joints sit on the torso's top, 0.09 above its centre;
    // the head's centre is 0.065 above them.
    b.push_back({"neck", 0, {0, 0, 0.09}, 0, 0.05, {}, ballInertia(0.05, 0.02), none});
    b.push_back({"head",
                 1,
                 {},
                 1,
                 0.35,
                 {0, 0, 0.065},
                 ballInertia(0.35, 0.06),
                 sphere({0, 0, 0.065}, 0.06)});
    // Arms: shoulder 0.075 above the torso centre and 0.098 to the side.
    // Zero angles hold the arm forward, horizontal.
    b.push_back({"lshoulder", 0, {-0.098, 0, 0.075}, 14, 0.07, {}, ballInertia(0.07, 0.02), none});
    b.push_back({"lupperarm",
                 3,
                 {},
                 16,
                 0.15,
                 {-0.01, -0.02, 0},
                 boxInertia(0.15, 0.05, 0.07, 0.05),
                 capsule({0, 0, 0}, {-0.02, 0.05, 0.009}, armR)});
    b.push_back({"lelbow", 4, {-0.02, 0.05, 0.009}, 18, 0.035, {}, ballInertia(0.035, 0.02), none});
    b.push_back({"llowerarm",
                 5,
                 {},
                 20,
                 0.2,
                 {0, 0.05, 0},
                 boxInertia(0.2, 0.05, 0.1, 0.05),
                 capsule({0, 0, 0}, {0, 0.1, 0}, armR)});
    b.push_back({"rshoulder", 0, {0.098, 0, 0.075}, 15, 0.07, {}, ballInertia(0.07, 0.02), none});
    b.push_back({"rupperarm",
                 7,
                 {},
                 17,
                 0.15,
                 {0.01, -0.02, 0},
                 boxInertia(0.15, 0.05, 0.07, 0.05),
                 capsule({0, 0, 0}, {0.02, 0.05, 0.009}, armR)});
    b.push_back({"relbow", 8, {0.02, 0.05, 0.009}, 19, 0.035, {}, ballInertia(0.035, 0.02), none});
    b.push_back({"rlowerarm",
                 9,
                 {},
                 21,
                 0.2,
                 {0, 0.05, 0},
                 boxInertia(0.2, 0.05, 0.1, 0.05),
                 capsule({0, 0, 0}, {0, 0.1, 0}, armR)});
    // Legs, after the leg link table: hip joints 0.055 to the side, 0.01
    // behind and 0.115 below the torso centre; knee 0.005 forward and 0.12
    // below the hip; ankle 0.1 below the knee; foot centre 0.03 forward and
    // 0.035 below the ankle. The hip's 0.215 kg is split between the two
    // small hip bodies.
    for (int side = 0; side < 2; ++side) {
        const bool left = side == 0;
        const double sx = left ? -1.0 : 1.0;
        const int base = static_cast<int>(b.size());
        const int j = left ? 2 : 3;  // llj1 / rlj1, then +2 per joint
        b.push_back({left ? "lhip1" : "rhip1",
                     0,
                     {sx * 0.055, -0.01, -0.115},
                     j,
                     0.09,
                     {},
                     ballInertia(0.09, 0.025),
                     none});
        b.push_back({left ? "lhip2" : "rhip2",
                     base,
                     {},
                     j + 2,
                     0.125,
                     {},
                     ballInertia(0.125, 0.025),
                     none});
        b.push_back({left ? "lthigh" : "rthigh",
                     base + 1,
                     {},
                     j + 4,
                     0.275,
                     {0, 0.01, -0.04},
                     boxInertia(0.275, 0.07, 0.07, 0.14),
                     box({0, 0.01, -0.04}, {0.035, 0.035, 0.07})});
        b.push_back({left ? "lshank" : "rshank",
                     base + 2,
                     {0, 0.005, -0.12},
                     j + 6,
                     0.225,
                     {0, 0.01, -0.045},
                     boxInertia(0.225, 0.08, 0.07, 0.11),
                     box({0, 0.01, -0.045}, {0.04, 0.035, 0.055})});
        b.push_back({left ? "lankle" : "rankle",
                     base + 3,
                     {0, 0, -0.1},
                     j + 8,
                     0.125,
                     {},
                     ballInertia(0.125, 0.025),
                     none});
        b.push_back({left ? "lfoot" : "rfoot",
                     base + 4,
                     {},
                     j + 10,
                     0.2,
                     {0, 0.03, -0.035},
                     boxInertia(0.2, 0.08, 0.16, 0.03),
                     box({0, 0.03, -0.035}, {0.04, 0.08, 0.015})});
    }
    return b;
}

}  // namespace

const std::array<JointSpec, RobotModel::kNumJoints>& RobotModel::joints() {
    static const std::array<JointSpec, kNumJoints> table = {{
        {"hj1", "he1", {0, 0, 1}, -120, 120, JointGroup::Head},
        {"hj2", "he2", {1, 0, 0}, -45, 45, JointGroup::Head},
        {"llj1", "lle1", {-kS, 0, -kS}, -90, 1, JointGroup::Leg},
        {"rlj1", "rle1", {-kS, 0, kS}, -90, 1, JointGroup::Leg},
        {"llj2", "lle2", {0, 1, 0}, -25, 45, JointGroup::Leg},
        {"rlj2", "rle2", {0, 1, 0}, -45, 25, JointGroup::Leg},
        {"llj3", "lle3", {1, 0, 0}, -25, 100, JointGroup::Leg},
        {"rlj3", "rle3", {1, 0, 0}, -25, 100, JointGroup::Leg},
        {"llj4", "lle4", {1, 0, 0}, -130, 1, JointGroup::Leg},
        {"rlj4", "rle4", {1, 0, 0}, -130, 1, JointGroup::Leg},
        {"llj5", "lle5", {1, 0, 0}, -45, 75, JointGroup::Leg},
        {"rlj5", "rle5", {1, 0, 0}, -45, 75, JointGroup::Leg},
        {"llj6", "lle6", {0, 1, 0}, -45, 25, JointGroup::Leg},
        {"rlj6", "rle6", {0, 1, 0}, -25, 45, JointGroup::Leg},
        {"laj1", "lae1", {1, 0, 0}, -120, 120, JointGroup::Arm},
        {"raj1", "rae1", {1, 0, 0}, -120, 120, JointGroup::Arm},
        {"laj2", "lae2", {0, 0, -1}, -95, 1, JointGroup::Arm},
        {"raj2", "rae2", {0, 0, -1}, -1, 95, JointGroup::Arm},
        {"laj3", "lae3", {0, 1, 0}, -120, 120, JointGroup::Arm},
        {"raj3", "rae3", {0, -1, 0}, -120, 120, JointGroup::Arm},
        {"laj4", "lae4", {0, 0, -1}, -1, 90, JointGroup::Arm},
        {"raj4", "rae4", {0, 0, -1}, -90, 1, JointGroup::Arm},
    }};
    return table;
}

const std::vector<BodySpec>& RobotModel::bodies() {
    static const std::vector<BodySpec> table = makeBodies();
    return table;
}

JointDrive RobotModel::drive(JointGroup g, ServoModel servo) {
    const int k = g == JointGroup::Head ? 0 : g == JointGroup::Arm ? 1 : 2;
    if (servo == ServoModel::Setpoint) {
        // The earlier servo: a stabilising rotor inertia on every joint.
        static const JointDrive old[3] = {
            {5.0, 0.02, 0.0, 0.0}, {10.0, 0.02, 0.0, 0.0}, {20.0, 0.02, 0.0, 0.0}};
        return old[k];
    }
    // sim/README.md gives the reasons for every number.
    static const JointDrive table[3] = {
        {kHeadTorque, kSmallArmature, kGearDamping, kHeadTorque / kFullTorqueSpeedError},
        {kArmTorque, kSmallArmature, kGearDamping, kArmTorque / kFullTorqueSpeedError},
        {kLegTorque, kLegArmature, kGearDamping, kLegTorque / kFullTorqueSpeedError}};
    return table[k];
}

double RobotModel::totalMass() {
    double m = 0;
    for (const BodySpec& b : bodies())
        m += b.mass;
    return m;
}

int RobotModel::jointByEffector(const char* name, size_t len) {
    const auto& t = joints();
    for (int i = 0; i < kNumJoints; ++i) {
        if (std::strlen(t[i].effector) == len && std::memcmp(t[i].effector, name, len) == 0)
            return i;
    }
    return -1;
}

int RobotModel::bodyIndex(const std::string& name) {
    const auto& b = bodies();
    for (size_t i = 0; i < b.size(); ++i) {
        if (name == b[i].name)
            return static_cast<int>(i);
    }
    return -1;
}

std::string RobotModel::bodyXml(int slot, const Vec3& pos, ServoModel servo) {
    const std::string p = prefix(slot);
    const unsigned own = 1u << (slot + 1);
    const unsigned affinity = ((1u << 23) - 1u) & ~own;
    const auto& bs = bodies();
    const auto& js = joints();
    std::ostringstream out;
    // Emits body i and its subtree.
    struct Emitter {
        const std::vector<BodySpec>& bs;
        const std::array<JointSpec, kNumJoints>& js;
        const std::string& p;
        ServoModel servo;
        unsigned own, affinity;
        std::ostringstream& out;
        void emit(int i, const Vec3& pos) {
            const BodySpec& b = bs[i];
            out << "<body name=\"" << p << b.name << "\" pos=\"" << fmt(pos) << "\">\n";
            if (b.joint < 0) {
                out << "<freejoint name=\"" << p << "root\"/>\n";
            } else {
                const JointSpec& j = js[b.joint];
                const JointDrive d = drive(j.group, servo);
                out << "<joint name=\"" << p << j.perceptor << "\" type=\"hinge\" axis=\""
                    << fmt(j.axis) << "\" limited=\"true\" range=\"" << fmt(deg2rad(j.minDeg))
                    << " " << fmt(deg2rad(j.maxDeg)) << "\" armature=\"" << fmt(d.armature)
                    << "\" damping=\"" << fmt(d.damping) << "\"/>\n";
            }
            out << "<inertial pos=\"" << fmt(b.ipos) << "\" mass=\"" << fmt(b.mass)
                << "\" diaginertia=\"" << fmt(b.inertia) << "\"/>\n";
            const GeomSpec& g = b.geom;
            if (g.kind != GeomKind::None) {
                out << "<geom name=\"" << p << "g_" << b.name << "\" contype=\"" << own
                    << "\" conaffinity=\"" << affinity << "\" ";
                switch (g.kind) {
                    case GeomKind::Box:
                        out << "type=\"box\" pos=\"" << fmt(g.pos) << "\" size=\"" << fmt(g.size)
                            << "\"";
                        break;
                    case GeomKind::Sphere:
                        out << "type=\"sphere\" pos=\"" << fmt(g.pos) << "\" size=\""
                            << fmt(g.size.x) << "\"";
                        break;
                    case GeomKind::Capsule:
                        out << "type=\"capsule\" fromto=\"" << fmt(g.pos) << " " << fmt(g.to)
                            << "\" size=\"" << fmt(g.size.x) << "\"";
                        break;
                    case GeomKind::None:
                        break;
                }
                out << "/>\n";
            }
            if (i == 0) {
                out << "<site name=\"" << p << "imu\" pos=\"0 0 0\"/>\n";
            }
            if (std::string(b.name) == "head") {
                out << "<site name=\"" << p << "camera\" pos=\"0 0 "
                    << fmt(0.065 + kCameraAboveHead) << "\"/>\n";
            }
            for (size_t c = 0; c < bs.size(); ++c) {
                if (bs[c].parent == i)
                    emit(static_cast<int>(c), bs[c].pos);
            }
            out << "</body>\n";
        }
    } e{bs, js, p, servo, own, affinity, out};
    e.emit(0, pos);
    return out.str();
}

std::string RobotModel::legPairsXml(int slot) {
    const std::string p = prefix(slot);
    static const char* parts[] = {"thigh", "shank", "foot"};
    std::string out;
    for (const char* l : parts) {
        for (const char* r : parts) {
            out += "<pair geom1=\"" + p + "g_l" + l + "\" geom2=\"" + p + "g_r" + r + "\"/>\n";
        }
    }
    return out;
}

}  // namespace tovrasim
