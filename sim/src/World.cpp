#include "World.h"

#include <mujoco/mujoco.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>

namespace tovrasim {

namespace {

std::string fmt(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    return buf;
}

void warningHandler(const char* msg) {
    std::cerr << "(tovra-sim) physics warning: " << msg << "\n";
}

// Quaternion (w, x, y, z) of a rotation about z by `a` radians.
std::array<double, 4> yawQuat(double a) {
    return {std::cos(a / 2), 0.0, 0.0, std::sin(a / 2)};
}

// Goal of the end `sx` (+1 or -1): posts just behind the line so that the
// inner width is the goal width, a bar whose underside is at the goal height,
// and a net box one goal depth deep.
std::string goalXml(double sx, const char* tag) {
    const double r = 0.02;
    const double x = sx * (World::kFieldLength / 2 + r);
    const double hw = World::kGoalWidth / 2 + r;
    const double h = World::kGoalHeight;
    const double back = sx * (World::kFieldLength / 2 + World::kGoalDepth + 0.01);
    const double mid = sx * (World::kFieldLength / 2 + World::kGoalDepth / 2);
    const std::string env = "contype=\"1\" conaffinity=\"1\"";
    std::ostringstream o;
    // A static body of its own: the broadphase then bounds the goal by its
    // own box instead of pairing every robot part with the whole world
    // body (whose ground plane has no bounds).
    o << "<body name=\"goal_" << tag << "\">\n";
    for (int s = -1; s <= 1; s += 2) {
        o << "<geom name=\"post_" << tag << (s < 0 ? "2" : "1") << "\" type=\"cylinder\" " << env
          << " fromto=\"" << fmt(x) << " " << fmt(s * hw) << " 0 " << fmt(x) << " " << fmt(s * hw)
          << " " << fmt(h + r) << "\" size=\"" << r << "\"/>\n";
        o << "<geom name=\"net_side_" << tag << (s < 0 ? "2" : "1") << "\" type=\"box\" " << env
          << " pos=\"" << fmt(mid) << " " << fmt(s * (hw + 0.01)) << " " << fmt(h / 2)
          << "\" size=\"" << fmt(World::kGoalDepth / 2) << " 0.01 " << fmt(h / 2) << "\"/>\n";
    }
    o << "<geom name=\"bar_" << tag << "\" type=\"cylinder\" " << env << " fromto=\"" << fmt(x)
      << " " << fmt(-hw) << " " << fmt(h + r) << " " << fmt(x) << " " << fmt(hw) << " "
      << fmt(h + r) << "\" size=\"" << r << "\"/>\n";
    o << "<geom name=\"net_back_" << tag << "\" type=\"box\" " << env << " pos=\"" << fmt(back)
      << " 0 " << fmt(h / 2) << "\" size=\"0.01 " << fmt(hw + 0.02) << " " << fmt(h / 2)
      << "\"/>\n";
    o << "<geom name=\"net_top_" << tag << "\" type=\"box\" " << env << " pos=\"" << fmt(mid)
      << " 0 " << fmt(h + 2 * r + 0.01) << "\" size=\"" << fmt(World::kGoalDepth / 2) << " "
      << fmt(hw + 0.02) << " 0.01\"/>\n";
    o << "</body>\n";
    return o.str();
}

}  // namespace

World::World() : World(Config{}) {}

World::World(const Config& cfg) : mCfg(cfg) {
    if (mCfg.substeps < 1)
        mCfg.substeps = 1;
    // The velocity motors' drives, by joint group, once.
    for (JointGroup g : {JointGroup::Head, JointGroup::Arm, JointGroup::Leg}) {
        JointDrive& d = mDrive[static_cast<int>(g)];
        d = RobotModel::drive(g, ServoModel::Velocity);
        d.forceLimit *= mCfg.torqueScale;
        d.velocityGain *= mCfg.torqueScale;
    }
    mju_user_warning = warningHandler;
    if (!rebuild()) {
        std::cerr << "(tovra-sim) cannot build the empty world\n";
    }
}

World::~World() {
    if (mData)
        mj_deleteData(mData);
    if (mModel)
        mj_deleteModel(mModel);
}

std::string World::buildXml(const std::vector<int>& slots) {
    return buildXml(slots, Config{});
}

std::string World::buildXml(const std::vector<int>& slots, const Config& cfg) {
    const int n = static_cast<int>(slots.size());
    const double ballI = 2.0 / 3.0 * kBallMass * kBallRadius * kBallRadius;  // hollow ball
    // Contact and constraint buffers grow with the robots. MuJoCo's own
    // default for the scratch stack grows with the square of njmax (about
    // 400 MB for 22 robots, cleared at every model build); the solver needs
    // about 5 nv^2 + 20 rows per constraint (measured peak: 1.95 M numbers
    // with 22 robots heaped and flailing, nv 622, 733 rows), so this bound
    // leaves twice that and five times the per-row share.
    const long nv = 6 + 28L * n;
    const long nconmax = 100 + 40L * n, njmax = 400 + 100L * n;
    const long nstack = 10 * nv * nv + 100 * njmax + 100000;
    std::ostringstream o;
    o << "<mujoco model=\"tovra-field\">\n"
      << "<compiler angle=\"radian\" inertiafromgeom=\"false\"/>\n"
      << "<option timestep=\"0.002\" integrator=\""
      << (cfg.implicitIntegrator ? "implicit" : "Euler")
      << "\" gravity=\"0 0 -9.81\" jacobian=\"sparse\"/>\n"
      << "<!-- The joint servos and the torso's gyroscope and accelerometer are computed by "
         "the simulator (World.cpp), not by MuJoCo actuators and sensors. -->\n"
      << "<size nconmax=\"" << nconmax << "\" njmax=\"" << njmax << "\" nstack=\"" << nstack
      << "\"/>\n"
      << "<worldbody>\n"
      << "<geom name=\"ground\" type=\"plane\" size=\"40 30 1\" contype=\"1\" conaffinity=\"1\" "
         "friction=\"1 0.005 0.0001\"/>\n"
      << goalXml(1, "r") << goalXml(-1, "l") << "<body name=\"ball\" pos=\"0 0 " << fmt(kBallRadius)
      << "\">\n"
      << "<freejoint name=\"ball_root\"/>\n"
      << "<inertial pos=\"0 0 0\" mass=\"" << fmt(kBallMass) << "\" diaginertia=\"" << fmt(ballI)
      << " " << fmt(ballI) << " " << fmt(ballI) << "\"/>\n"
      << "<geom name=\"ball\" type=\"sphere\" size=\"" << fmt(kBallRadius)
      << "\" contype=\"1\" conaffinity=\"" << ((1u << 23) - 1u)
      << "\" condim=\"6\" friction=\"1 0.005 0.003\"/>\n"
      << "</body>\n";
    for (int k = 0; k < n; ++k) {
        // Parked far apart; the caller places them.
        o << RobotModel::bodyXml(slots[k], {100.0 + 2.0 * slots[k], 100.0, 0.5}, cfg.servo);
    }
    o << "</worldbody>\n";
    if (n > 0) {
        o << "<contact>\n";
        for (int s : slots)
            o << RobotModel::legPairsXml(s);
        o << "</contact>\n";
    }
    o << "</mujoco>\n";
    return o.str();
}

bool World::rebuild() {
    std::vector<int> slots;
    for (int s = 0; s < kMaxRobots; ++s) {
        if (mRobots[s].active)
            slots.push_back(s);
    }
    std::string xml = buildXml(slots, mCfg);

    auto vfs = std::make_unique<mjVFS>();
    mj_defaultVFS(vfs.get());
    const char* fname = "tovra_world.xml";
    if (mj_makeEmptyFileVFS(vfs.get(), fname, static_cast<int>(xml.size())) != 0) {
        std::cerr << "(tovra-sim) cannot create the model buffer\n";
        return false;
    }
    int idx = mj_findFileVFS(vfs.get(), fname);
    std::memcpy(vfs->filedata[idx], xml.data(), xml.size());
    char err[1000] = "";
    mjModel* m = mj_loadXML(fname, vfs.get(), err, sizeof err);
    mj_deleteVFS(vfs.get());
    if (!m) {
        std::cerr << "(tovra-sim) model error: " << err << "\n";
        return false;
    }
    m->opt.timestep = kStepTime / mCfg.substeps;
    mjData* d = mj_makeData(m);

    // Carry the state over, joint by joint, by name.
    if (mModel && mData) {
        d->time = mData->time;
        for (int j = 0; j < m->njnt; ++j) {
            const char* name = mj_id2name(m, mjOBJ_JOINT, j);
            if (!name)
                continue;
            int oj = mj_name2id(mModel, mjOBJ_JOINT, name);
            if (oj < 0)
                continue;
            int nq = 1, nv = 1;
            if (m->jnt_type[j] == mjJNT_FREE) {
                nq = 7;
                nv = 6;
            } else if (m->jnt_type[j] == mjJNT_BALL) {
                nq = 4;
                nv = 3;
            }
            std::memcpy(d->qpos + m->jnt_qposadr[j], mData->qpos + mModel->jnt_qposadr[oj],
                        sizeof(mjtNum) * nq);
            std::memcpy(d->qvel + m->jnt_dofadr[j], mData->qvel + mModel->jnt_dofadr[oj],
                        sizeof(mjtNum) * nv);
        }
        mj_deleteData(mData);
        mj_deleteModel(mModel);
    }
    mModel = m;
    mData = d;
    mXml = std::move(xml);
    ++mBuilds;

    mGroundGeom = mj_name2id(m, mjOBJ_GEOM, "ground");
    mBallGeom = mj_name2id(m, mjOBJ_GEOM, "ball");
    int bj = mj_name2id(m, mjOBJ_JOINT, "ball_root");
    mBallQpos = m->jnt_qposadr[bj];
    mBallDof = m->jnt_dofadr[bj];
    mGeomRobot.assign(m->ngeom, -1);
    for (int s : slots)
        bindRobot(s);
    mj_forward(m, d);
    return true;
}

void World::bindRobot(int s) {
    Robot& r = mRobots[s];
    const std::string p = RobotModel::prefix(s);
    const auto& js = RobotModel::joints();
    const auto& bs = RobotModel::bodies();
    int root = mj_name2id(mModel, mjOBJ_JOINT, (p + "root").c_str());
    r.rootQpos = mModel->jnt_qposadr[root];
    r.rootDof = mModel->jnt_dofadr[root];
    for (int j = 0; j < RobotModel::kNumJoints; ++j) {
        int id = mj_name2id(mModel, mjOBJ_JOINT, (p + js[j].perceptor).c_str());
        r.qpos[j] = mModel->jnt_qposadr[id];
        r.dof[j] = mModel->jnt_dofadr[id];
    }
    r.bodyId.assign(bs.size(), -1);
    r.geomId.assign(bs.size(), -1);
    for (size_t b = 0; b < bs.size(); ++b) {
        r.bodyId[b] = mj_name2id(mModel, mjOBJ_BODY, (p + bs[b].name).c_str());
        r.geomId[b] = mj_name2id(mModel, mjOBJ_GEOM, (p + "g_" + bs[b].name).c_str());
        if (r.geomId[b] >= 0)
            mGeomRobot[r.geomId[b]] = s;
    }
    r.cameraSite = mj_name2id(mModel, mjOBJ_SITE, (p + "camera").c_str());
}

int World::addRobot(Side side, int unum, double x, double y, double headingDeg) {
    return addRobots({NewRobot{side, unum, x, y, headingDeg}}).front();
}

std::vector<int> World::addRobots(const std::vector<NewRobot>& robots) {
    std::vector<int> slots;
    for (const NewRobot& n : robots) {
        int slot = -1;
        for (int s = 0; s < kMaxRobots; ++s) {
            if (!mRobots[s].active) {
                slot = s;
                break;
            }
        }
        if (slot >= 0) {
            Robot& r = mRobots[slot];
            r = Robot{};
            r.active = true;
            r.side = n.side;
            r.unum = n.unum;
        }
        slots.push_back(slot);
    }
    if (std::all_of(slots.begin(), slots.end(), [](int s) { return s < 0; }))
        return slots;
    if (!rebuild()) {
        for (int& s : slots) {
            if (s >= 0)
                mRobots[s].active = false;
            s = -1;
        }
        rebuild();
        return slots;
    }
    for (size_t k = 0; k < robots.size(); ++k) {
        if (slots[k] >= 0)
            placeUpright(slots[k], robots[k].x, robots[k].y, robots[k].headingDeg);
    }
    return slots;
}

void World::removeRobot(int slot) {
    if (!hasRobot(slot))
        return;
    mRobots[slot] = Robot{};
    rebuild();
}

bool World::hasRobot(int slot) const {
    return slot >= 0 && slot < kMaxRobots && mRobots[slot].active;
}

std::vector<int> World::robots() const {
    std::vector<int> out;
    for (int s = 0; s < kMaxRobots; ++s) {
        if (mRobots[s].active)
            out.push_back(s);
    }
    return out;
}

void World::setJointVelocity(int slot, int joint, double v) {
    if (!hasRobot(slot) || joint < 0 || joint >= RobotModel::kNumJoints || !std::isfinite(v))
        return;
    mRobots[slot].command[joint] =
        std::clamp(v, -RobotModel::kMaxJointSpeed, RobotModel::kMaxJointSpeed);
}

void World::clearCommands() {
    for (Robot& r : mRobots)
        r.command.fill(0.0);
}

double World::time() const {
    return mData ? mData->time : 0.0;
}

void World::updateServos(double dt) {
    if (mCfg.servo == ServoModel::Velocity)
        updateVelocityMotors(dt);
    else
        updateSetpointServos(dt);
}

// The joint's own inertia about its axis with the rest of the robot held
// still (the diagonal of the mass matrix of the last substep, without the
// motor's extra inertia of that substep).
double World::jointInertia(const Robot& r, int j, const JointDrive& d) const {
    const int dof = r.dof[j];
    return mData->qM[mModel->dof_Madr[dof]] - mModel->dof_armature[dof] + d.armature;
}

template <class F>
void World::forEachMotor(F&& f) {
    const auto& js = RobotModel::joints();
    for (Robot& r : mRobots) {
        if (!r.active)
            continue;
        for (int j = 0; j < RobotModel::kNumJoints; ++j)
            f(r, j, mDrive[static_cast<int>(js[j].group)]);
    }
}

void World::updateVelocityMotors(double dt) {
    const auto& js = RobotModel::joints();
    forEachMotor([&](Robot& r, int j, const JointDrive& d) {
        const int dof = r.dof[j];
        const double q = mData->qpos[r.qpos[j]], v = mData->qvel[dof];
        // A joint stop is rigid: the motor does not drive further into
        // it, and what the stop's contact lets the joint sink in is
        // undone within the step.
        const double lo = deg2rad(js[j].minDeg), hi = deg2rad(js[j].maxDeg);
        double u = r.command[j];
        if (q >= hi && u >= 0)
            u = (hi - q) / kStepTime;
        else if (q <= lo && u <= 0)
            u = (lo - q) / kStepTime;
        r.driveSpeed[j] = u;
        r.startSpeed[j] = v;
        // The torque that would bring the joint to the commanded speed
        // within this substep against its present load. Within the
        // torque limit the motor holds the speed: its velocity loop,
        // torque = gain * (u - v_end) at the speed the substep ends
        // with, is taken implicitly, which is the explicit
        // gain * (u - v) plus gain * dt of extra inertia on the joint
        // for this substep; as armature the constraint solver sees it
        // too, so contact forces agree with the motor's action. Beyond
        // the limit the motor gives its whole torque.
        const double need = jointInertia(r, j, d) * (u - v) / dt - r.load[j];
        r.holding[j] = std::abs(need) <= d.forceLimit;
        if (r.holding[j]) {
            mModel->dof_armature[dof] = d.armature + d.velocityGain * dt;
            mData->qfrc_applied[dof] = d.velocityGain * (u - v);
        } else {
            mModel->dof_armature[dof] = d.armature;
            mData->qfrc_applied[dof] = std::copysign(d.forceLimit, need);
        }
    });
}

// After a substep: the load on every joint, from its acceleration and the
// motor's torque (inertia * acceleration = motor + load), and the substeps
// in which a holding motor gave more than its limit.
void World::afterMotorSubstep(double dt) {
    forEachMotor([&](Robot& r, int j, const JointDrive& d) {
        const int dof = r.dof[j];
        const double v = mData->qvel[dof];
        const double motor =
            r.holding[j] ? d.velocityGain * (r.driveSpeed[j] - v) : mData->qfrc_applied[dof];
        if (r.holding[j] && std::abs(motor) > d.forceLimit * 1.001)
            ++mOverloaded;
        r.load[j] = jointInertia(r, j, d) * (v - r.startSpeed[j]) / dt - motor;
    });
}

void World::updateSetpointServos(double dt) {
    const auto& js = RobotModel::joints();
    const double kff = RobotModel::kServoKv / RobotModel::kServoKp;
    for (Robot& r : mRobots) {
        if (!r.active)
            continue;
        for (int j = 0; j < RobotModel::kNumJoints; ++j) {
            const double lo = deg2rad(js[j].minDeg), hi = deg2rad(js[j].maxDeg);
            const double q = mData->qpos[r.qpos[j]];
            // The setpoint moves at the commanded speed; it stays in range
            // and within the error at which the servo's force saturates, so
            // a blocked joint does not wind up.
            const double f = RobotModel::forceLimit(js[j].group, ServoModel::Setpoint);
            const double window = f / RobotModel::kServoKp;
            double sp = r.setpoint[j] + r.command[j] * dt;
            sp = std::clamp(sp, q - window, q + window);
            sp = std::clamp(sp, lo, hi);
            r.setpoint[j] = sp;
            double vff = r.command[j];
            if ((sp >= hi && vff > 0) || (sp <= lo && vff < 0))
                vff = 0;
            // The servo: kp (target - angle) - kv speed, target = setpoint
            // plus the speed feed-forward, limited to the joint's force. It
            // acts on its joint alone, so it goes straight into the joint's
            // applied force (MuJoCo's actuators keep a dense moment matrix
            // of actuators by degrees of freedom, quadratic in the robots).
            const double target = sp + kff * vff;
            const double bias =
                0.0 + -RobotModel::kServoKp * q + -RobotModel::kServoKv * mData->qvel[r.dof[j]];
            mData->qfrc_applied[r.dof[j]] = std::clamp(RobotModel::kServoKp * target + bias, -f, f);
        }
    }
}

static_assert(World::kMaxRobots <= 32, "robot contacts are a 32-bit mask");

void World::accumulateContacts(std::array<Vec3, kMaxRobots * 2>& force,
                               std::array<Vec3, kMaxRobots * 2>& copSum,
                               std::array<double, kMaxRobots * 2>& weight) {
    const int lf = RobotModel::bodyIndex("lfoot"), rf = RobotModel::bodyIndex("rfoot");
    for (int i = 0; i < mData->ncon; ++i) {
        const mjContact& c = mData->contact[i];
        const int g1 = c.geom1, g2 = c.geom2;
        // Ball touches.
        if (g1 == mBallGeom || g2 == mBallGeom) {
            int other = g1 == mBallGeom ? g2 : g1;
            int s = mGeomRobot[other];
            if (s >= 0)
                mRobots[s].touched = true;
            continue;
        }
        const int r1 = mGeomRobot[g1], r2 = mGeomRobot[g2];
        if (r1 >= 0 && r2 >= 0 && r1 != r2) {
            mRobots[r1].robotContacts |= 1u << r2;
            mRobots[r2].robotContacts |= 1u << r1;
            continue;
        }
        if (g1 != mGroundGeom && g2 != mGroundGeom)
            continue;
        const int foot = g1 == mGroundGeom ? g2 : g1;
        const int s = mGeomRobot[foot];
        if (s < 0)
            continue;
        int which;
        if (foot == mRobots[s].geomId[lf]) {
            which = 0;
        } else if (foot == mRobots[s].geomId[rf]) {
            which = 1;
        } else {
            continue;
        }
        mjtNum f6[6];
        mj_contactForce(mModel, mData, i, f6);
        const mjtNum* fr = c.frame;
        Vec3 fw{f6[0] * fr[0] + f6[1] * fr[3] + f6[2] * fr[6],
                f6[0] * fr[1] + f6[1] * fr[4] + f6[2] * fr[7],
                f6[0] * fr[2] + f6[1] * fr[5] + f6[2] * fr[8]};
        // The contact force acts along the normal from geom1 to geom2: it
        // pushes geom2 and pulls geom1 by the same amount.
        if (foot == g1)
            fw = -fw;
        const int k = s * 2 + which;
        force[k] = force[k] + fw;
        const double w = std::abs(f6[0]);
        copSum[k] = copSum[k] + Vec3(c.pos[0], c.pos[1], c.pos[2]) * w;
        weight[k] += w;
    }
}

void World::step() {
    if (!mModel)
        return;
    const int n = mCfg.substeps;
    const double dt = mModel->opt.timestep;
    std::array<Vec3, kMaxRobots> acc{}, gyro{};
    std::array<Vec3, kMaxRobots * 2> force{}, copSum{};
    std::array<double, kMaxRobots * 2> weight{};
    std::array<int, kMaxRobots * 2> contactSteps{};
    for (Robot& r : mRobots) {
        r.touched = false;
        r.robotContacts = 0;
    }
    for (int k = 0; k < n; ++k) {
        updateServos(dt);
        // The rate gyro reads the torso's angular velocity in its own frame,
        // which is the free joint's angular velocity, at the state the
        // substep starts from.
        for (int s = 0; s < kMaxRobots; ++s) {
            const Robot& r = mRobots[s];
            if (r.active) {
                const mjtNum* w = mData->qvel + r.rootDof + 3;
                gyro[s] = gyro[s] + Vec3(w[0], w[1], w[2]);
            }
        }
        mj_step(mModel, mData);
        if (mCfg.servo == ServoModel::Velocity)
            afterMotorSubstep(dt);
        std::array<double, kMaxRobots* 2> before = weight;
        accumulateContacts(force, copSum, weight);
        for (int s = 0; s < kMaxRobots; ++s) {
            const Robot& r = mRobots[s];
            if (!r.active)
                continue;
            // The accelerometer at the torso centre (the free joint's
            // origin) reads its linear acceleration minus gravity, in the
            // torso frame: xmat and qacc still belong to the state the
            // substep started from.
            Mat3 R;
            std::memcpy(R.m, mData->xmat + 9 * r.bodyId[0], sizeof R.m);
            const mjtNum* a = mData->qacc + r.rootDof;
            const mjtNum* g = mModel->opt.gravity;
            acc[s] = acc[s] + R.transposeTimes(Vec3(a[0] - g[0], a[1] - g[1], a[2] - g[2]));
            for (int f = 0; f < 2; ++f) {
                if (weight[s * 2 + f] > before[s * 2 + f])
                    ++contactSteps[s * 2 + f];
            }
        }
    }
    ++mSteps;
    clearCommands();
    const int lf = RobotModel::bodyIndex("lfoot"), rf = RobotModel::bodyIndex("rfoot");
    for (int s = 0; s < kMaxRobots; ++s) {
        Robot& r = mRobots[s];
        if (!r.active)
            continue;
        r.sens.acc = acc[s] * (1.0 / n);
        Vec3 g = gyro[s] * (1.0 / n);
        r.sens.gyroDeg = {rad2deg(g.x), rad2deg(g.y), rad2deg(g.z)};
        for (int j = 0; j < RobotModel::kNumJoints; ++j) {
            r.sens.jointDeg[j] = rad2deg(mData->qpos[r.qpos[j]]);
        }
        for (int f = 0; f < 2; ++f) {
            FootPressure& fp = f == 0 ? r.sens.lf : r.sens.rf;
            const int k = s * 2 + f;
            fp.contact = contactSteps[k] > 0;
            if (!fp.contact) {
                fp.c = {};
                fp.f = {};
                continue;
            }
            const int geom = r.geomId[f == 0 ? lf : rf];
            Mat3 R;
            std::memcpy(R.m, mData->geom_xmat + 9 * geom, sizeof R.m);
            const Vec3 centre(mData->geom_xpos[3 * geom], mData->geom_xpos[3 * geom + 1],
                              mData->geom_xpos[3 * geom + 2]);
            const Vec3 cop = weight[k] > 0 ? copSum[k] * (1.0 / weight[k]) : centre;
            fp.c = R.transposeTimes(cop - centre);
            fp.f = R.transposeTimes(force[k] * (1.0 / n));
        }
    }
}

void World::zeroRobotVelocity(int slot) {
    Robot& r = mRobots[slot];
    for (int k = 0; k < 6; ++k)
        mData->qvel[r.rootDof + k] = 0;
    for (int j = 0; j < RobotModel::kNumJoints; ++j)
        mData->qvel[r.dof[j]] = 0;
    mRobots[slot].load.fill(0.0);
}

double World::lowestPoint(int slot) const {
    const Robot& r = mRobots[slot];
    double low = 1e9;
    for (int g : r.geomId) {
        if (g < 0)
            continue;
        const mjtNum* R = mData->geom_xmat + 9 * g;
        const mjtNum* p = mData->geom_xpos + 3 * g;
        const mjtNum* sz = mModel->geom_size + 3 * g;
        double z = p[2];
        switch (mModel->geom_type[g]) {
            case mjGEOM_BOX:
                z -= std::abs(R[6]) * sz[0] + std::abs(R[7]) * sz[1] + std::abs(R[8]) * sz[2];
                break;
            case mjGEOM_SPHERE:
                z -= sz[0];
                break;
            case mjGEOM_CAPSULE:
                z -= std::abs(R[8]) * sz[1] + sz[0];
                break;
            default:
                break;
        }
        low = std::min(low, z);
    }
    return low;
}

void World::placeUpright(int slot, double x, double y, double headingDeg) {
    if (!hasRobot(slot))
        return;
    const Robot& r = mRobots[slot];
    mjtNum* q = mData->qpos + r.rootQpos;
    q[0] = x;
    q[1] = y;
    q[2] = 1.0;
    // The body's forward axis (y) points along the heading.
    auto quat = yawQuat(deg2rad(headingDeg - 90.0));
    for (int k = 0; k < 4; ++k)
        q[3 + k] = quat[k];
    zeroRobotVelocity(slot);
    mj_kinematics(mModel, mData);
    q[2] += 0.0005 - lowestPoint(slot);
    // Positions only: the next step computes everything else. A whole
    // forward pass (contacts, constraint solver) of a full field cost about
    // a millisecond per beam, and the agents beam together.
    mj_kinematics(mModel, mData);
}

void World::shiftRobot(int slot, double x, double y) {
    if (!hasRobot(slot))
        return;
    mjtNum* q = mData->qpos + mRobots[slot].rootQpos;
    q[0] = x;
    q[1] = y;
    zeroRobotVelocity(slot);
    mj_kinematics(mModel, mData);
}

void World::setJointAngles(int slot, const std::array<double, RobotModel::kNumJoints>& deg) {
    if (!hasRobot(slot))
        return;
    Robot& r = mRobots[slot];
    const auto& js = RobotModel::joints();
    for (int j = 0; j < RobotModel::kNumJoints; ++j) {
        const double a = deg2rad(std::clamp(deg[j], js[j].minDeg, js[j].maxDeg));
        mData->qpos[r.qpos[j]] = a;
        r.setpoint[j] = a;
    }
    zeroRobotVelocity(slot);
    mj_forward(mModel, mData);
}

void World::setTorsoPose(int slot, const Vec3& pos, const std::array<double, 4>& quat) {
    if (!hasRobot(slot))
        return;
    mjtNum* q = mData->qpos + mRobots[slot].rootQpos;
    q[0] = pos.x;
    q[1] = pos.y;
    q[2] = pos.z;
    double n =
        std::sqrt(quat[0] * quat[0] + quat[1] * quat[1] + quat[2] * quat[2] + quat[3] * quat[3]);
    if (!(n > 0))
        n = 1;
    for (int k = 0; k < 4; ++k)
        q[3 + k] = quat[k] / n;
    zeroRobotVelocity(slot);
    mj_forward(mModel, mData);
}

void World::setTorsoVelocity(int slot, const Vec3& lin, const Vec3& ang) {
    if (!hasRobot(slot))
        return;
    mjtNum* v = mData->qvel + mRobots[slot].rootDof;
    v[0] = lin.x;
    v[1] = lin.y;
    v[2] = lin.z;
    v[3] = ang.x;
    v[4] = ang.y;
    v[5] = ang.z;
}

void World::setJointSpeed(int slot, int joint, double v) {
    if (!hasRobot(slot) || joint < 0 || joint >= RobotModel::kNumJoints || !std::isfinite(v))
        return;
    mData->qvel[mRobots[slot].dof[joint]] = v;
}

void World::placeBall(const Vec3& p, const Vec3& v) {
    mjtNum* q = mData->qpos + mBallQpos;
    q[0] = p.x;
    q[1] = p.y;
    q[2] = p.z;
    q[3] = 1;
    q[4] = q[5] = q[6] = 0;
    mjtNum* qv = mData->qvel + mBallDof;
    qv[0] = v.x;
    qv[1] = v.y;
    qv[2] = v.z;
    qv[3] = qv[4] = qv[5] = 0;
    mj_forward(mModel, mData);
}

Vec3 World::ballPos() const {
    const mjtNum* q = mData->qpos + mBallQpos;
    return {q[0], q[1], q[2]};
}

Vec3 World::ballVel() const {
    const mjtNum* v = mData->qvel + mBallDof;
    return {v[0], v[1], v[2]};
}

Vec3 World::torsoPos(int slot) const {
    const mjtNum* q = mData->qpos + mRobots[slot].rootQpos;
    return {q[0], q[1], q[2]};
}

Mat3 World::torsoRot(int slot) const {
    Mat3 R;
    std::memcpy(R.m, mData->xmat + 9 * mRobots[slot].bodyId[0], sizeof R.m);
    return R;
}

double World::heading(int slot) const {
    const Vec3 fwd = torsoRot(slot).column(1);
    return rad2deg(std::atan2(fwd.y, fwd.x));
}

Vec3 World::cameraPos(int slot) const {
    const mjtNum* p = mData->site_xpos + 3 * mRobots[slot].cameraSite;
    return {p[0], p[1], p[2]};
}

Mat3 World::cameraAxes(int slot) const {
    Mat3 H;
    std::memcpy(H.m, mData->site_xmat + 9 * mRobots[slot].cameraSite, sizeof H.m);
    const Vec3 fwd = H.column(1), left = -H.column(0), up = H.column(2);
    Mat3 C;
    const Vec3 cols[3] = {fwd, left, up};
    for (int c = 0; c < 3; ++c) {
        C.m[c] = cols[c].x;
        C.m[3 + c] = cols[c].y;
        C.m[6 + c] = cols[c].z;
    }
    return C;
}

Vec3 World::partPos(int slot, int bodyIndex) const {
    const Robot& r = mRobots[slot];
    if (bodyIndex < 0 || bodyIndex >= static_cast<int>(r.geomId.size()))
        return {};
    const int g = r.geomId[bodyIndex];
    if (g >= 0) {
        const mjtNum* p = mData->geom_xpos + 3 * g;
        return {p[0], p[1], p[2]};
    }
    const mjtNum* p = mData->xipos + 3 * r.bodyId[bodyIndex];
    return {p[0], p[1], p[2]};
}

double World::jointAngleDeg(int slot, int joint) const {
    return rad2deg(mData->qpos[mRobots[slot].qpos[joint]]);
}

}  // namespace tovrasim
