#include "MotionTrial.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <vector>

#include "Actions/Actions.h"
#include "Effector/Effector.h"
#include "Effector/Kinematic.h"
#include "FramedSocket.h"
#include "GroundTruth.h"
#include "LyingPose.h"
#include "SimProcess.h"
#include "Skills/Skills.h"
#include "WorldModel/Parser.h"
#include "WorldModel/WorldModel.h"

namespace tovra::motion {

namespace {

const double kCycle = 0.02;
const double kPi = 3.14159265358979323846;
const int kTimeoutMs = 20000;

double rad(double deg) {
    return deg * kPi / 180.0;
}

double normalize(double deg) {
    while (deg > 180) {
        deg -= 360;
    }
    while (deg <= -180) {
        deg += 360;
    }
    return deg;
}

struct Sample {
    double t;
    double height;
    bool up;
    bool lying;
    double x, y;
    double heading;  // unwrapped
    double ballX, ballY;
};

std::string fmt(const char* format, double a) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, a);
    return buf;
}

}  // namespace

TrialResult MotionTrial::run() {
    TrialResult result;
    const bool lying = spec_.start != TrialSpec::Start::Stand;
    std::mt19937 rng(spec_.seed * 7919u + 17u);
    auto jitter = [&](double range) {
        if (!spec_.jitter || range <= 0) {
            return 0.0;
        }
        return std::uniform_real_distribution<double>(-range, range)(rng);
    };
    const double x0 = spec_.x + jitter(0.1);
    const double y0 = spec_.y + jitter(0.1);
    const double h0 = spec_.heading + jitter(lying ? 20.0 : 10.0);
    const double roll = jitter(8.0);
    double joints[JID_MAX] = {};
    joints[JID_LARM_1] = joints[JID_RARM_1] = -90;
    for (double& a : joints) {
        a += jitter(lying ? 3.0 : 1.0);
    }
    const double ballFwd = spec_.ballForward + jitter(0.01);
    const double ballLeft = spec_.ballLeft + jitter(0.01);
    const double settle = spec_.settleTime >= 0 ? spec_.settleTime : (lying ? 1.0 : 0.5);

    // No kick-off: the trial runs in BeforeKickOff, where robots and ball
    // may be placed freely.
    std::vector<std::string> extra = {
        "--half-time",
        "1000000",
        "--need-right",
        "0",
        "--max-steps",
        std::to_string(
            static_cast<long>((settle + spec_.preTime + spec_.observeTime) / kCycle + 200))};
    const std::vector<std::string> noise = trialSimOptions(spec_.sim, spec_.seed);
    extra.insert(extra.end(), noise.begin(), noise.end());
    SimProcess sim;
    if (!sim.start(spec_.simBinary, extra)) {
        result.error = "simulator did not start";
        return result;
    }
    FramedSocket agent, control;
    if (!control.connectTo(sim.controlPort()) || !agent.connectTo(sim.agentPort())) {
        result.error = "cannot connect to the simulator";
        return result;
    }

    Types::fill();
    WorldModel* WM = WorldModel::instance();
    WM->setTeamName(TeamName);
    WM->setUnum(spec_.unum);
    Actions* ACS = Actions::getInstance();
    Skills* SKS = Skills::getInstance();
    Parser parser;

    std::vector<std::string> lines;
    if (spec_.play == TrialSpec::Play::Lines) {
        std::ifstream in(spec_.linesFile);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line[0] == '(') {
                lines.push_back(line);
            }
        }
        if (lines.empty()) {
            result.error = "no command lines in " + spec_.linesFile;
            return result;
        }
    }

    std::unique_ptr<std::ofstream> log;
    if (!spec_.logFile.empty()) {
        log = std::make_unique<std::ofstream>(spec_.logFile);
        *log << "t,x,y,z,heading,lying,fallen,accx,accy,accz,gyrx,gyry,gyrz,lf,rf,curAct,ballX,"
                "ballY";
        for (int j = 0; j < JID_MAX; ++j) {
            *log << ",j" << j;
        }
        *log << '\n';
    }

    const std::string side = "left";
    const std::string who = side + " " + std::to_string(spec_.unum);
    auto command = [&](const std::string& text) {
        std::string reply;
        return control.request(text, reply, kTimeoutMs) && reply == "(ok)";
    };

    if (!agent.send("(scene rsg/agent/nao/nao.rsg)")) {
        result.error = "cannot send the scene";
        return result;
    }
    const int settleCycles = static_cast<int>(std::lround(settle / kCycle));
    const int observeCycles = static_cast<int>(std::lround(spec_.observeTime / kCycle));
    const int holdCycles = static_cast<int>(std::lround(spec_.holdTime / kCycle));
    const int preCycles = static_cast<int>(std::lround(spec_.preTime / kCycle));
    const int firstAction = 3 + settleCycles + preCycles;
    std::vector<Sample> samples;
    double lastHeading = 0;
    double unwrapped = 0;
    bool actionSeen = false;
    std::string message;
    for (int cycle = 0; cycle < firstAction + observeCycles; ++cycle) {
        if (!agent.receive(message, kTimeoutMs)) {
            result.error = "no message from the simulator";
            return result;
        }
        if (cycle == 0) {
            agent.send(ACS->init());
            continue;
        }
        parser.doParse(message);
        Kinematic* kinematic = Kinematic::instance();
        kinematic->updateLink();
        Effector::instance()->updateJointAngle(kinematic->getLink());
        WM->globalize();

        std::string reply;
        if (cycle == 1) {
            // The beam puts the robot on its place through the agent's own
            // command; the control channel then sets the exact start pose.
            reply = ACS->beam(Vector3f(x0, y0, h0)) + ACS->stop();
        } else if (cycle == 2) {
            std::ostringstream js;
            js << "(joints " << who;
            for (double a : joints) {
                js << ' ' << a;
            }
            js << ')';
            bool ok = command(js.str());
            std::ostringstream place;
            if (lying) {
                double q[4];
                lyingQuaternion(static_cast<Lying>(static_cast<int>(spec_.start) - 1), h0, roll, q);
                place << "(pose " << who << ' ' << x0 << ' ' << y0 << " 0.13 " << q[0] << ' '
                      << q[1] << ' ' << q[2] << ' ' << q[3] << ')';
            } else {
                place << "(place " << who << ' ' << x0 << ' ' << y0 << ' ' << h0 << ')';
            }
            ok = ok && command(place.str());
            std::ostringstream ball;
            if (spec_.ball) {
                const double c = std::cos(rad(h0)), s = std::sin(rad(h0));
                ball << "(ball " << x0 + ballFwd * c - ballLeft * s << ' '
                     << y0 + ballFwd * s + ballLeft * c << " 0.042)";
            } else {
                ball << "(ball " << x0 << ' ' << (y0 > 0 ? y0 - 6 : y0 + 6) << " 0.042)";
            }
            ok = ok && command(ball.str());
            if (!ok) {
                result.error = "the control channel refused the start pose";
                return result;
            }
            reply = ACS->stop();
        } else if (cycle < firstAction - preCycles) {
            reply = ACS->stop();
        } else if (cycle < firstAction) {
            // The action that leads into the measured one.
            reply = ACS->doAction(spec_.pre, HEAD_STILL);
        } else {
            const int a = cycle - firstAction;
            switch (spec_.play) {
                case TrialSpec::Play::Action: {
                    // Played once: requested until the dispatcher has taken
                    // it up (a running action finishes first).
                    const bool request = spec_.hold ? a < holdCycles : !actionSeen;
                    reply = ACS->doAction(request ? spec_.action : spec_.after, HEAD_STILL);
                    // The action may start late, when the one before has to
                    // finish first.
                    actionSeen = actionSeen || ACS->getCurAct() == spec_.action;
                    if (result.actionEnd < 0 && actionSeen && ACS->getCurAct() != spec_.action) {
                        result.actionEnd = a * kCycle;
                    }
                    break;
                }
                case TrialSpec::Play::Walk:
                    if (a < holdCycles) {
                        ACS->setType(spec_.walkSide);
                        ACS->setSpeed(spec_.walkSpeed);
                        ACS->setTurAng(spec_.walkTurn);
                        reply = ACS->doAction(WALK_OMNI, HEAD_STILL);
                    } else {
                        reply = ACS->doAction(spec_.after, HEAD_STILL);
                        if (result.actionEnd < 0 && ACS->getCurAct() != WALK_OMNI) {
                            result.actionEnd = a * kCycle;
                        }
                    }
                    break;
                case TrialSpec::Play::Lines:
                    if (a < static_cast<int>(lines.size())) {
                        reply = lines[a];
                    } else {
                        if (result.actionEnd < 0) {
                            result.actionEnd = a * kCycle;
                        }
                        reply = ACS->doAction(spec_.after, HEAD_STILL);
                    }
                    break;
                case TrialSpec::Play::StayUp:
                    if (WM->getIsObjectFallDown(WM->getMyObject())) {
                        reply = SKS->stayUp();
                    }
                    if (reply.empty()) {
                        reply = ACS->doAction(WAIT, HEAD_STILL);
                    }
                    break;
                case TrialSpec::Play::Skill:
                    // As the roles do: the head follows the ball.
                    ACS->setObjectFocused(BALL);
                    if (WM->getIsObjectFallDown(WM->getMyObject())) {
                        reply = SKS->stayUp();
                    } else if (spec_.skill == "kickball") {
                        reply = SKS->kickBall();
                    } else if (spec_.skill == "sidekick") {
                        reply = SKS->SideKick();
                    } else {
                        reply = SKS->fastDribbleToPoint(Vector3f(15, 0, 0));
                    }
                    if (reply.empty()) {
                        reply = ACS->doAction(WAIT, HEAD_STILL);
                    }
                    break;
                case TrialSpec::Play::Idle:
                    reply = ACS->stop();
                    break;
            }
            std::string state;
            if (!control.request("(state)", state, kTimeoutMs)) {
                result.error = "no state from the control channel";
                return result;
            }
            const GroundTruth g = GroundTruth::parse(state, side, spec_.unum);
            if (!g.valid) {
                result.error = "the robot is not in the simulator's state";
                return result;
            }
            if (samples.empty()) {
                lastHeading = g.heading;
            }
            unwrapped += normalize(g.heading - lastHeading);
            lastHeading = g.heading;
            const bool fallen = WM->getIsObjectFallDown(WM->getMyObject());
            Sample s{a * kCycle, g.pos[2],  !fallen && g.pos[2] > spec_.standHeight,
                     g.lying,    g.pos[0],  g.pos[1],
                     unwrapped,  g.ball[0], g.ball[1]};
            samples.push_back(s);
            if (log) {
                *log << s.t << ',' << g.pos[0] << ',' << g.pos[1] << ',' << g.pos[2] << ','
                     << unwrapped << ',' << g.lying << ',' << fallen << ',' << WM->getAcc().x()
                     << ',' << WM->getAcc().y() << ',' << WM->getAcc().z() << ','
                     << WM->getGyro().x() << ',' << WM->getGyro().y() << ',' << WM->getGyro().z()
                     << ',' << WM->getLeftFootForce().force.z() << ','
                     << WM->getRightFootForce().force.z() << ',' << ACS->getCurAct() << ','
                     << g.ball[0] << ',' << g.ball[1];
                for (int j = 0; j < JID_MAX; ++j) {
                    *log << ',' << WM->getJointAngle(static_cast<JointID>(j));
                }
                *log << '\n';
            }
        }
        if (reply.empty()) {
            reply = "(syn)";
        }
        if (!agent.send(reply)) {
            result.error = "cannot send to the simulator";
            return result;
        }
    }
    std::string ignored;
    control.request("(stop)", ignored, 1000);
    agent.close();
    control.close();
    sim.stop();

    if (samples.empty()) {
        result.error = "nothing observed";
        return result;
    }
    result.ran = true;
    const Sample& first = samples.front();
    const Sample& last = samples.back();
    result.uprightAtEnd = last.up;
    int lastDown = -1;
    result.minHeight = first.height;
    // A fall: lying after having been up for at least half a second.
    int upRun = 0;
    bool wasUp = false;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const Sample& s = samples[i];
        if (!s.up) {
            lastDown = static_cast<int>(i);
        }
        result.minHeight = std::min(result.minHeight, s.height);
        upRun = s.up ? upRun + 1 : 0;
        if (result.turn90At < 0 && std::fabs(s.heading - samples.front().heading) >= 90.0) {
            result.turn90At = s.t;
        }
        wasUp = wasUp || upRun >= 25;
        if (s.lying && wasUp) {
            wasUp = false;
            ++result.falls;
            if (result.firstFallAt < 0) {
                result.firstFallAt = s.t;
            }
        }
    }
    if (last.up) {
        result.upAt = lastDown < 0 ? 0.0 : samples[lastDown + 1].t;
    }
    result.endHeight = last.height;
    // The start frame: the measured heading of a standing robot, the placed
    // one of a lying robot (whose measured heading means little).
    const double frame = lying ? h0 : first.heading;
    const double c = std::cos(rad(frame));
    const double s = std::sin(rad(frame));
    auto along = [&](double dx, double dy, double& fwd, double& lft) {
        fwd = dx * c + dy * s;
        lft = -dx * s + dy * c;
    };
    along(last.x - first.x, last.y - first.y, result.forward, result.left);
    result.turned = last.heading - first.heading;
    along(last.ballX - first.ballX, last.ballY - first.ballY, result.ballForward, result.ballLeft);
    result.ballTravel = std::hypot(last.ballX - first.ballX, last.ballY - first.ballY);
    {
        const std::size_t at = std::min(samples.size() - 1, static_cast<std::size_t>(75));
        double f = 0;
        along(samples[at].x - first.x, samples[at].y - first.y, f, result.sideShift);
    }
    // Steady rates: from 1 s after the start to the end of the requested
    // motion (or of the run).
    const bool held = spec_.hold || spec_.play == TrialSpec::Play::Walk;
    const double endT = held ? std::min(spec_.holdTime, last.t) : last.t;
    const double startT = endT > 2.0 ? 1.0 : 0.0;
    const Sample* a = &samples.front();
    const Sample* b = &samples.front();
    for (const Sample& x : samples) {
        if (x.t <= startT + 1e-9) {
            a = &x;
        }
        if (x.t <= endT + 1e-9) {
            b = &x;
        }
    }
    result.steadyTime = b->t - a->t;
    if (result.steadyTime > 0) {
        double f = 0, l = 0;
        along(b->x - a->x, b->y - a->y, f, l);
        result.forwardRate = f / result.steadyTime;
        result.leftRate = l / result.steadyTime;
        result.turnRate = (b->heading - a->heading) / result.steadyTime;
    }
    return result;
}

std::string describe(const TrialResult& r) {
    if (!r.ran) {
        return "failed: " + r.error;
    }
    std::string text = r.uprightAtEnd ? "up" : "DOWN";
    text += " upAt " + (r.upAt < 0 ? std::string("-") : fmt("%.2f", r.upAt));
    text += " falls " + std::to_string(r.falls);
    if (r.firstFallAt >= 0) {
        text += " (first " + fmt("%.2f", r.firstFallAt) + ")";
    }
    text += " minZ " + fmt("%.3f", r.minHeight) + " endZ " + fmt("%.3f", r.endHeight);
    if (r.actionEnd >= 0) {
        text += " actEnd " + fmt("%.2f", r.actionEnd);
    }
    text += " moved " + fmt("%+.3f", r.forward) + "/" + fmt("%+.3f", r.left);
    text += " turned " + fmt("%+.1f", r.turned);
    text += " rate " + fmt("%+.3f", r.forwardRate) + "/" + fmt("%+.3f", r.leftRate) + " m/s " +
            fmt("%+.1f", r.turnRate) + " deg/s";
    text += " side1.5 " + fmt("%+.3f", r.sideShift);
    if (r.turn90At >= 0) {
        text += " turn90 " + fmt("%.2f", r.turn90At);
    }
    text += " ball " + fmt("%.2f", r.ballTravel) + " (" + fmt("%+.2f", r.ballForward) + "/" +
            fmt("%+.2f", r.ballLeft) + ")";
    return text;
}

}  // namespace tovra::motion
