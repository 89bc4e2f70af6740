#include "Server.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>

namespace tovrasim {

struct Server::Client {
    enum class State { Connected, Scene, InPlay, Refused };
    int id = 0;
    int fd = -1;
    bool control = false;
    FrameDecoder in;
    std::string out;
    size_t outPos = 0;
    State state = State::Connected;
    int slot = -1;
    Side side = Side::Left;
    int unum = 0;
    std::string team;
    // Perceptor messages sent and not answered yet. A reply frame answers
    // the oldest of them; the frames carry no step number, so this count is
    // all the server knows about which message a frame answers.
    long owed = 0;
    bool repliedThisStep = false;  // a frame came since the last message was sent
    bool answered = true;          // answered the last message in its step
    long lag = 0;  // messages owed at the last deadline by a robot that was replying
    bool beamPending = false;
    double beam[3] = {0, 0, 0};
    bool dead = false;
    // Accepted by init, waiting for the model build that puts it in play.
    bool joining = false;

    explicit Client(size_t maxFrame) : in(maxFrame) {}
};

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

bool parseNumber(const Sexp& s, double& out) {
    if (!s.atom || s.text.empty() || s.text.size() > 64)
        return false;
    char* end = nullptr;
    const double v = std::strtod(s.text.c_str(), &end);
    if (end != s.text.c_str() + s.text.size() || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

bool parseInt(const Sexp& s, int& out) {
    if (!s.atom || s.text.empty() || s.text.size() > 9)
        return false;
    char* end = nullptr;
    const long v = std::strtol(s.text.c_str(), &end, 10);
    if (end != s.text.c_str() + s.text.size())
        return false;
    out = static_cast<int>(v);
    return true;
}

// Team names and say texts: printable, no blanks or parentheses.
bool safeWord(const std::string& s, size_t maxLen) {
    if (s.empty() || s.size() > maxLen)
        return false;
    for (unsigned char c : s) {
        if (c <= 32 || c >= 127 || c == '(' || c == ')' || c == '"' || c == '\\')
            return false;
    }
    return true;
}

std::string jsonNum(double v) {
    if (!std::isfinite(v))
        return "null";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

std::string jsonVec(const Vec3& v) {
    return "[" + jsonNum(v.x) + "," + jsonNum(v.y) + "," + jsonNum(v.z) + "]";
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 32) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

int openListener(int port, int& boundPort) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 64) != 0) {
        ::close(fd);
        return -1;
    }
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    boundPort = ntohs(a.sin_port);
    return fd;
}

}  // namespace

Server::Server(const ServerOptions& opt)
    : mOpt(opt),
      mWorld([&] {
          World::Config c;
          c.substeps = opt.substeps;
          c.servo = opt.servo;
          c.implicitIntegrator = opt.implicitIntegrator;
          c.torqueScale = opt.torqueScale;
          return c;
      }()),
      mReferee(opt.referee) {}

Server::~Server() {
    for (auto& c : mClients) {
        if (c->fd >= 0)
            ::close(c->fd);
    }
    if (mListenFd >= 0)
        ::close(mListenFd);
    if (mControlFd >= 0)
        ::close(mControlFd);
    if (mTrace)
        std::fclose(mTrace);
}

bool Server::start() {
    mListenFd = openListener(mOpt.port, mPort);
    if (mListenFd < 0) {
        std::cerr << "(tovra-sim) cannot listen on 127.0.0.1:" << mOpt.port << ": "
                  << std::strerror(errno) << "\n";
        return false;
    }
    if (mOpt.controlPort >= 0) {
        mControlFd = openListener(mOpt.controlPort, mControlPort);
        if (mControlFd < 0) {
            std::cerr << "(tovra-sim) cannot listen for control on 127.0.0.1:" << mOpt.controlPort
                      << ": " << std::strerror(errno) << "\n";
            return false;
        }
    }
    if (!mOpt.traceFile.empty()) {
        mTrace = std::fopen(mOpt.traceFile.c_str(), "w");
        if (!mTrace) {
            std::cerr << "(tovra-sim) cannot write the trace " << mOpt.traceFile << ": "
                      << std::strerror(errno) << "\n";
            return false;
        }
    }
    return true;
}

std::string Server::clientName(const Client& c) const {
    std::string n = "client " + std::to_string(c.id);
    if (c.state == Client::State::InPlay) {
        n += std::string(" (") + sideName(c.side) + " " + std::to_string(c.unum) + ")";
    }
    return n;
}

void Server::acceptClients(int listenFd, bool control) {
    for (;;) {
        int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        auto c = std::make_unique<Client>(mOpt.maxFrame);
        c->id = mNextClientId++;
        c->fd = fd;
        c->control = control;
        mClients.push_back(std::move(c));
    }
}

void Server::closeClient(Client& c, const std::string& why) {
    if (c.dead)
        return;
    if (!why.empty())
        std::cerr << "(tovra-sim) " << clientName(c) << ": " << why << "\n";
    if (c.state == Client::State::InPlay || c.joining) {
        const int s = c.side == Side::Left ? 0 : 1;
        mTaken[s][c.unum] = false;
        if (c.state == Client::State::InPlay)
            mWorld.removeRobot(c.slot);
        c.joining = false;
        if (countSide(c.side) == 0)
            mTeamName[s].clear();
    }
    c.state = Client::State::Refused;
    c.slot = -1;
    c.dead = true;
    if (c.fd >= 0)
        ::close(c.fd);
    c.fd = -1;
}

int Server::countSide(Side s) const {
    int n = 0;
    for (int slot : mWorld.robots()) {
        if (mWorld.side(slot) == s)
            ++n;
    }
    for (const auto& c : mClients) {
        if (c->joining && !c->dead && c->side == s)
            ++n;
    }
    return n;
}

void Server::flushJoins() {
    std::vector<Client*> joining;
    std::vector<World::NewRobot> robots;
    for (auto& c : mClients) {
        if (!c->joining || c->dead)
            continue;
        // New robots wait beside their own half's touchline, facing the field.
        const Vec3 spot = waitingSpot(c->side, c->unum);
        robots.push_back({c->side, c->unum, spot.x, spot.y, spot.z});
        joining.push_back(c.get());
    }
    if (joining.empty())
        return;
    const std::vector<int> slots = mWorld.addRobots(robots);
    for (size_t k = 0; k < joining.size(); ++k) {
        Client& c = *joining[k];
        c.joining = false;
        if (slots[k] < 0) {
            std::cerr << "(tovra-sim) " << clientName(c)
                      << ": no room for another robot; the robot stays out of play\n";
            const int s = c.side == Side::Left ? 0 : 1;
            mTaken[s][c.unum] = false;
            if (countSide(c.side) == 0)
                mTeamName[s].clear();
            c.state = Client::State::Refused;
            continue;
        }
        c.state = Client::State::InPlay;
        c.slot = slots[k];
    }
}

void Server::sendFrame(Client& c, const std::string& body) {
    if (c.dead)
        return;
    if (c.out.size() - c.outPos > (1u << 22)) {
        closeClient(c, "does not read its messages; closing");
        return;
    }
    c.out += FrameDecoder::encode(body);
    flushClient(c);
}

void Server::flushClient(Client& c) {
    while (!c.dead && c.outPos < c.out.size()) {
        ssize_t n = ::send(c.fd, c.out.data() + c.outPos, c.out.size() - c.outPos, MSG_NOSIGNAL);
        if (n > 0) {
            c.outPos += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n < 0 && errno == EINTR)
            continue;
        closeClient(c, std::string("send failed: ") + std::strerror(errno));
        return;
    }
    if (c.outPos == c.out.size()) {
        c.out.clear();
        c.outPos = 0;
    }
}

void Server::readClient(Client& c) {
    char buf[16384];
    for (;;) {
        ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
        if (n == 0) {
            closeClient(c, c.control ? "" : "disconnected");
            return;
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                break;
            closeClient(c, std::string("receive failed: ") + std::strerror(errno));
            return;
        }
        c.in.feed(buf, static_cast<size_t>(n));
        std::string body;
        while (!c.dead && c.in.next(body)) {
            if (c.control) {
                handleControlFrame(c, body);
            } else {
                handleAgentFrame(c, body);
            }
        }
        if (c.dead)
            return;
        if (c.in.failed()) {
            closeClient(c, "message length " + std::to_string(c.in.badLength()) +
                               " above the limit of " + std::to_string(mOpt.maxFrame) +
                               "; closing");
            return;
        }
        if (static_cast<size_t>(n) < sizeof buf)
            break;
    }
}

void Server::handleAgentFrame(Client& c, const std::string& text) {
    // Every frame after the first message is a reply; one beyond the owed
    // messages answers one already written off and changes nothing.
    if (c.state != Client::State::Connected) {
        c.repliedThisStep = true;
        if (c.owed > 0)
            --c.owed;
    }
    std::string error;
    const std::vector<Sexp> cmds = Sexp::parse(text, error);
    if (!error.empty()) {
        std::cerr << "(tovra-sim) " << clientName(c) << ": malformed message (" << error
                  << "); the rest of it is ignored\n";
    }
    for (const Sexp& e : cmds) {
        const std::string& name = e.head();
        if (name == "scene") {
            if (c.state == Client::State::Connected) {
                c.state = Client::State::Scene;
            } else {
                std::cerr << "(tovra-sim) " << clientName(c) << ": scene repeated; ignored\n";
            }
        } else if (name == "init") {
            handleInit(c, e);
        } else if (name == "syn") {
            // Nothing to do: the lockstep clock counts every reply.
        } else if (c.state != Client::State::InPlay) {
            std::cerr << "(tovra-sim) " << clientName(c) << ": (" << name
                      << ") before the robot is in play; ignored\n";
        } else if (name == "beam") {
            double v[3];
            if (e.items.size() != 4 || !parseNumber(e.items[1], v[0]) ||
                !parseNumber(e.items[2], v[1]) || !parseNumber(e.items[3], v[2])) {
                std::cerr << "(tovra-sim) " << clientName(c) << ": malformed beam; ignored\n";
                continue;
            }
            if (std::abs(v[0]) > World::kFieldLength / 2 + 1 ||
                std::abs(v[1]) > World::kFieldWidth / 2 + 1) {
                std::cerr << "(tovra-sim) " << clientName(c)
                          << ": beam outside the field; ignored\n";
                continue;
            }
            c.beamPending = true;
            std::copy(v, v + 3, c.beam);
        } else if (name == "say") {
            if (e.items.size() != 2 || !safeWord(e.items[1].text, 64) || !e.items[1].atom) {
                std::cerr << "(tovra-sim) " << clientName(c) << ": malformed say; ignored\n";
                continue;
            }
            // One say per robot and step; a later one replaces it.
            auto it = std::find_if(mPendingSays.begin(), mPendingSays.end(),
                                   [&](const Heard& h) { return h.speaker == c.slot; });
            if (it == mPendingSays.end())
                it = mPendingSays.insert(mPendingSays.end(), Heard{});
            it->speaker = c.slot;
            it->text = e.items[1].text;
        } else {
            const int j = RobotModel::jointByEffector(name.data(), name.size());
            double v;
            if (j < 0) {
                std::cerr << "(tovra-sim) " << clientName(c) << ": unknown command ("
                          << name.substr(0, 32) << "); ignored\n";
            } else if (e.items.size() != 2 || !parseNumber(e.items[1], v)) {
                std::cerr << "(tovra-sim) " << clientName(c) << ": malformed joint command ("
                          << name << "); ignored\n";
            } else {
                mWorld.setJointVelocity(c.slot, j, v);
            }
        }
    }
}

void Server::handleInit(Client& c, const Sexp& e) {
    if (c.state != Client::State::Scene || c.joining) {
        std::cerr << "(tovra-sim) " << clientName(c)
                  << (c.state == Client::State::Connected ? ": init before scene; ignored\n"
                                                          : ": init repeated; ignored\n");
        return;
    }
    const Sexp* u = e.find("unum");
    const Sexp* t = e.find("teamname");
    int unum = 0;
    if (!u || u->items.size() != 2 || !parseInt(u->items[1], unum) || unum < 1 || unum > 11) {
        std::cerr << "(tovra-sim) " << clientName(c)
                  << ": init without a uniform number 1..11; the robot stays out of play\n";
        c.state = Client::State::Refused;
        return;
    }
    if (!t || t->items.size() != 2 || !t->items[1].atom || !safeWord(t->items[1].text, 32)) {
        std::cerr << "(tovra-sim) " << clientName(c)
                  << ": init without a valid team name; the robot stays out of play\n";
        c.state = Client::State::Refused;
        return;
    }
    const std::string& team = t->items[1].text;
    // The first team name plays left, the second right. When both teams
    // share a name, the first robot to claim a number plays left and the
    // next to claim the same number plays right.
    int side = -1;
    if (mTeamName[0].empty() || (mTeamName[0] == team && !mTaken[0][unum])) {
        side = 0;
    } else if ((mTeamName[1].empty() || mTeamName[1] == team) && !mTaken[1][unum]) {
        side = 1;
    }
    if (side < 0) {
        std::cerr << "(tovra-sim) " << clientName(c) << ": uniform number " << unum << " of team "
                  << team << " is taken or no side is free; the robot stays out of play\n";
        c.state = Client::State::Refused;
        return;
    }
    // The robot enters the world with the next model build, at the end of
    // this poll round, together with every other robot that joins in it.
    mTeamName[side] = team;
    mTaken[side][unum] = true;
    c.joining = true;
    c.side = side == 0 ? Side::Left : Side::Right;
    c.unum = unum;
    c.team = team;
}

void Server::handleControlFrame(Client& c, const std::string& text) {
    std::string error;
    const std::vector<Sexp> cmds = Sexp::parse(text, error);
    if (!error.empty()) {
        sendFrame(c, "(error " + error + ")");
        return;
    }
    auto robotOf = [&](const Sexp& e, size_t first) -> int {
        if (e.items.size() <= first + 1)
            return -1;
        const std::string& sd = e.items[first].text;
        int unum = 0;
        if (!parseInt(e.items[first + 1], unum))
            return -1;
        for (int slot : mWorld.robots()) {
            if (mWorld.unum(slot) == unum && sideName(mWorld.side(slot)) == sd)
                return slot;
        }
        return -1;
    };
    auto numbers = [&](const Sexp& e, size_t first, size_t count, double* out) {
        if (e.items.size() < first + count)
            return false;
        for (size_t k = 0; k < count; ++k) {
            if (!parseNumber(e.items[first + k], out[k]))
                return false;
        }
        return true;
    };
    for (const Sexp& e : cmds) {
        const std::string& name = e.head();
        std::string reply = "(ok)";
        double v[22];
        if (name == "ball") {
            if (numbers(e, 1, 6, v) && e.items.size() == 7) {
                mWorld.placeBall({v[0], v[1], v[2]}, {v[3], v[4], v[5]});
            } else if (numbers(e, 1, 3, v) && e.items.size() == 4) {
                mWorld.placeBall({v[0], v[1], v[2]});
            } else {
                reply = "(error usage: (ball x y z [vx vy vz]))";
            }
        } else if (name == "place") {
            const int slot = robotOf(e, 1);
            if (slot >= 0 && e.items.size() == 6 && numbers(e, 3, 3, v)) {
                mWorld.placeUpright(slot, v[0], v[1], v[2]);
            } else {
                reply = "(error usage: (place left|right unum x y heading))";
            }
        } else if (name == "pose") {
            const int slot = robotOf(e, 1);
            if (slot >= 0 && e.items.size() == 10 && numbers(e, 3, 7, v)) {
                mWorld.setTorsoPose(slot, {v[0], v[1], v[2]}, {v[3], v[4], v[5], v[6]});
            } else {
                reply = "(error usage: (pose left|right unum x y z qw qx qy qz))";
            }
        } else if (name == "joints") {
            const int slot = robotOf(e, 1);
            if (slot >= 0 && e.items.size() == 25 && numbers(e, 3, 22, v)) {
                std::array<double, RobotModel::kNumJoints> a;
                std::copy(v, v + 22, a.begin());
                mWorld.setJointAngles(slot, a);
            } else {
                reply = "(error usage: (joints left|right unum a1 ... a22))";
            }
        } else if (name == "playMode") {
            PlayMode m;
            if (e.items.size() == 2 && parsePlayMode(e.items[1].text, m)) {
                applyRefereeOutput(mReferee.setMode(m, mWorld.ballPos()));
            } else {
                reply = "(error unknown play mode)";
            }
        } else if (name == "kickOff") {
            Referee::Output o;
            if (e.items.size() != 1) {
                reply = "(error usage: (kickOff))";
            } else if (mReferee.kickOff(o)) {
                applyRefereeOutput(o);
            } else {
                reply = "(error the kick-off starts from BeforeKickOff)";
            }
        } else if (name == "dropBall") {
            if (e.items.size() == 3 && numbers(e, 1, 2, v) &&
                std::abs(v[0]) <= World::kFieldLength / 2 &&
                std::abs(v[1]) <= World::kFieldWidth / 2) {
                applyRefereeOutput(mReferee.dropBall(v[0], v[1]));
            } else {
                reply = "(error usage: (dropBall x y) on the field)";
            }
        } else if (name == "state") {
            reply = stateJson();
        } else if (name == "stop") {
            stop();
        } else {
            reply = "(error unknown command)";
        }
        sendFrame(c, reply);
    }
}

std::array<std::string, 2> Server::seenTeams(Side viewer) const {
    const int v = viewer == Side::Left ? 0 : 1;
    std::array<std::string, 2> out = mTeamName;
    // The other side always appears under a name different from the
    // viewer's own, so that a team can play a copy of itself.
    const int o = 1 - v;
    if (out[o] == out[v])
        out[o] += o == 0 ? "_L" : "_R";
    return out;
}

void Server::applyRefereeOutput(const Referee::Output& o) {
    apply(mWorld, o);
    for (const Referee::Event& e : o.events) {
        trace("{\"time\":" + jsonNum(mWorld.time()) + ",\"event\":{\"type\":" + jsonString(e.type) +
              ",\"reason\":" + jsonString(e.reason) + ",\"side\":\"" + sideName(e.side) +
              "\",\"unum\":" + std::to_string(e.unum) + ",\"at\":[" + jsonNum(e.at.x) + "," +
              jsonNum(e.at.y) + "],\"playMode\":\"" +
              (e.playMode.empty() ? playModeName(mReferee.mode()) : e.playMode) + "\"}}");
    }
}

void Server::doStep() {
    for (auto& cp : mClients) {
        Client& c = *cp;
        if (!c.beamPending)
            continue;
        c.beamPending = false;
        if (c.state != Client::State::InPlay)
            continue;
        if (!mReferee.beamAllowed()) {
            std::cerr << "(tovra-sim) " << clientName(c) << ": beam not allowed in "
                      << playModeName(mReferee.mode()) << "; ignored\n";
            continue;
        }
        const bool left = c.side == Side::Left;
        mWorld.placeUpright(c.slot, left ? c.beam[0] : -c.beam[0], left ? c.beam[1] : -c.beam[1],
                            left ? c.beam[2] : c.beam[2] + 180.0);
    }
    mWorld.step();
    const Referee::Input in = observe(mWorld);
    applyRefereeOutput(mReferee.update(World::kStepTime, in));
    mHeard.swap(mPendingSays);
    mPendingSays.clear();
    for (Heard& h : mHeard)
        h.time = mWorld.time();
    mWorld.clearCommands();
    if (mTrace && mOpt.traceEvery > 0 && mWorld.stepCount() % mOpt.traceEvery == 0) {
        trace(stateJson());
    }
}

void Server::sendPerceptions() {
    Perception::Game g;
    g.time = mWorld.time();
    g.gameTime = mReferee.gameTime();
    g.playMode = playModeName(mReferee.mode());
    Perception::Readout readout;
    readout.seeDecimals = mOpt.seeDecimals;
    const bool vision = mWorld.stepCount() % 3 == 0;
    for (auto& cp : mClients) {
        Client& c = *cp;
        if (c.control || c.dead || c.state == Client::State::Connected)
            continue;
        std::string msg;
        if (c.state == Client::State::InPlay) {
            g.seenTeam = seenTeams(c.side);
            readout.noise = noiseOf(c.slot);
            msg = Perception::message(mWorld, c.slot, g, vision, mHeard, readout);
        } else {
            msg = Perception::bareMessage(g);
        }
        sendFrame(c, msg);
        ++c.owed;
        c.repliedThisStep = false;
    }
}

SensorNoise* Server::noiseOf(int slot) {
    if (!mOpt.noise)
        return nullptr;
    const int side = mWorld.side(slot) == Side::Left ? 0 : 1;
    const int key = side * 16 + mWorld.unum(slot);
    auto it = mNoise.find(key);
    if (it == mNoise.end())
        it = mNoise.emplace(key, SensorNoise(mOpt.noiseModel, mOpt.seed, side, mWorld.unum(slot)))
                 .first;
    return &it->second;
}

bool Server::allReplied() const {
    for (const auto& c : mClients) {
        if (!c->dead && !c->control && c->owed > 0)
            return false;
    }
    return true;
}

bool Server::onlySilentAwaited() const {
    for (const auto& c : mClients) {
        if (c->dead || c->control || c->owed == 0)
            continue;
        if (c->answered || c->lag > 0 || c->repliedThisStep)
            return false;
    }
    return true;
}

void Server::settleReplies() {
    for (auto& cp : mClients) {
        Client& c = *cp;
        if (c.dead || c.control)
            continue;
        const bool missedBefore = !c.answered;
        c.answered = c.owed == 0;
        c.lag = 0;
        if (c.answered)
            continue;
        // This step's message went unanswered: a late reply.
        ++mLate;
        traceLate(c);
        if (c.repliedThisStep) {
            // Replying, yet still owing: its frames answer older messages.
            c.lag = c.owed;
            ++mLagging;
            if (mOpt.lockstep) {
                // In lockstep the robot had the whole deadline to answer
                // what it owes and sent less: it is not running behind but
                // missed a message on purpose (a single silent step, say,
                // when a beam window is cut short), and each of its frames
                // answers the message of its own step. What it owes is
                // written off; an agent slower than the deadline in every
                // step is then taken as in pace, which the frames cannot
                // tell apart.
                c.owed = 0;
                ++mResyncs;
            }
        } else if (missedBefore) {
            // Silent for a whole step after a missed message: taken as
            // silent on purpose (or given up on those messages), not as
            // running behind. Its next frame answers the message then
            // current; what it owes now is written off.
            c.owed = 0;
            ++mResyncs;
        }
    }
}

void Server::traceLate(const Client& c) {
    if (!mTrace)
        return;
    std::string line =
        "{\"time\":" + jsonNum(mWorld.time()) + ",\"late\":{\"client\":" + std::to_string(c.id);
    if (c.state == Client::State::InPlay) {
        line += std::string(",\"side\":\"") + sideName(c.side) +
                "\",\"unum\":" + std::to_string(c.unum);
    }
    trace(line + "}}");
}

void Server::trace(const std::string& line) {
    if (!mTrace)
        return;
    std::fputs(line.c_str(), mTrace);
    std::fputc('\n', mTrace);
    // Readers follow the trace while the match runs.
    std::fflush(mTrace);
}

std::string Server::stateJson() const {
    std::string s = "{\"time\":" + jsonNum(mWorld.time()) +
                    ",\"gameTime\":" + jsonNum(mReferee.gameTime()) +
                    ",\"half\":" + std::to_string(mReferee.half()) + ",\"playMode\":\"" +
                    playModeName(mReferee.mode()) + "\",\"score\":[" +
                    std::to_string(mReferee.score(Side::Left)) + "," +
                    std::to_string(mReferee.score(Side::Right)) +
                    "],\"ball\":{\"pos\":" + jsonVec(mWorld.ballPos()) +
                    ",\"vel\":" + jsonVec(mWorld.ballVel()) + "},\"robots\":[";
    bool first = true;
    for (const auto& c : mClients) {
        if (c->dead || c->state != Client::State::InPlay)
            continue;
        if (!first)
            s += ",";
        first = false;
        s += std::string("{\"side\":\"") + sideName(c->side) +
             "\",\"unum\":" + std::to_string(c->unum) + ",\"team\":" + jsonString(c->team) +
             ",\"pos\":" + jsonVec(mWorld.torsoPos(c->slot)) +
             ",\"heading\":" + jsonNum(mWorld.heading(c->slot)) +
             ",\"lying\":" + (mWorld.lying(c->slot) ? "true" : "false") +
             ",\"answered\":" + (c->answered ? "true" : "false");
        if (c->lag > 0)
            s += ",\"lag\":" + std::to_string(c->lag);
        s += "}";
    }
    return s + "]}";
}

void Server::pollOnce(double timeoutSec) {
    std::vector<pollfd> fds;
    std::vector<Client*> owners;
    fds.reserve(mClients.size() + 2);
    if (mListenFd >= 0)
        fds.push_back({mListenFd, POLLIN, 0});
    if (mControlFd >= 0)
        fds.push_back({mControlFd, POLLIN, 0});
    const size_t firstClient = fds.size();
    for (auto& c : mClients) {
        if (c->dead)
            continue;
        short ev = POLLIN;
        if (c->outPos < c->out.size())
            ev |= POLLOUT;
        fds.push_back({c->fd, ev, 0});
        owners.push_back(c.get());
    }
    // To the microsecond: a step in real time starts at its tick, not up
    // to a millisecond after it.
    const long us = static_cast<long>(std::max(0.0, timeoutSec) * 1e6 + 0.5);
    const timespec wait{us / 1000000, (us % 1000000) * 1000};
    int n = ::ppoll(fds.data(), fds.size(), &wait, nullptr);
    if (n > 0) {
        size_t k = 0;
        if (mListenFd >= 0 && (fds[k++].revents & POLLIN))
            acceptClients(mListenFd, false);
        if (mControlFd >= 0 && (fds[k++].revents & POLLIN))
            acceptClients(mControlFd, true);
        for (size_t i = firstClient; i < fds.size(); ++i) {
            Client& c = *owners[i - firstClient];
            if (c.dead)
                continue;
            if (fds[i].revents & POLLOUT)
                flushClient(c);
            if (c.dead)
                continue;
            if (fds[i].revents & (POLLIN | POLLHUP | POLLERR))
                readClient(c);
        }
    }
    flushJoins();
    for (auto it = mClients.begin(); it != mClients.end();) {
        if ((*it)->dead) {
            it = mClients.erase(it);
        } else {
            ++it;
        }
    }
}

void Server::run() {
    auto next = Clock::now();
    const auto step = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(World::kStepTime));
    while (!mStop && (mOpt.maxSteps < 0 || mWorld.stepCount() < mOpt.maxSteps)) {
        if (mOpt.lockstep) {
            bool anyAgent = false;
            for (const auto& c : mClients) {
                if (!c->dead && !c->control && c->state != Client::State::Connected)
                    anyAgent = true;
            }
            if (!anyAgent) {
                pollOnce(0.05);
                continue;
            }
            doStep();
            sendPerceptions();
            const auto start = Clock::now();
            while (!mStop && !allReplied()) {
                // A step waits until every robot has answered all it owes:
                // a robot one step behind that answers two messages quickly
                // catches up. Robots that are silent on purpose (the agent
                // says nothing for the first half second of a beam window)
                // would make every such step wait out the deadline; a robot
                // that missed its previous message and has been silent since
                // gets the shorter wait. A robot replying one step behind
                // gets the whole deadline, the time it needs to catch up.
                // This changes only when steps happen, not what happens in
                // them, unless a reply comes late (the trace says so).
                const double limit =
                    onlySilentAwaited() ? std::min(mOpt.deadline, mOpt.silentWait) : mOpt.deadline;
                const double left = limit - secondsSince(start);
                if (left <= 0)
                    break;
                pollOnce(left);
            }
            settleReplies();
        } else {
            doStep();
            sendPerceptions();
            next += step;
            for (;;) {
                const double left = std::chrono::duration<double>(next - Clock::now()).count();
                if (left <= 0 || mStop)
                    break;
                pollOnce(left);
            }
            // Replies that arrived by the tick count for the coming step,
            // also when this process only got a processor after the tick:
            // read what is waiting before the step is settled.
            pollOnce(0);
            // Far behind (a stalled machine): do not try to catch up.
            if (Clock::now() - next > std::chrono::seconds(1))
                next = Clock::now();
            settleReplies();
        }
    }
    for (auto& c : mClients)
        flushClient(*c);
    if (mTrace)
        std::fflush(mTrace);
}

}  // namespace tovrasim
