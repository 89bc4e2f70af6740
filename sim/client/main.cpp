// tovra-sim-client: a scripted robot for checking and timing the simulator.
// Connects, sends the scene and init messages, optionally beams, and answers
// every perception with joint commands that hold the given pose (a
// proportional controller on the measured angles). With --behind-from N the
// reply to message N and every later one goes out only when the next message
// arrives: one frame per message, one step behind.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <string>

#include "FrameDecoder.h"
#include "RobotModel.h"
#include "Sexp.h"

namespace {

bool sendAll(int fd, const std::string& body) {
    const std::string f = tovrasim::FrameDecoder::encode(body);
    size_t off = 0;
    while (off < f.size()) {
        ssize_t n = ::send(fd, f.data() + off, f.size() - off, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        off += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int port = 3100, unum = 1, steps = -1, behindFrom = -1;
    std::string team = "KALDA";
    bool beam = false, quiet = false;
    double bx = -1, by = 0, ba = 0;
    double armDown = -90;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--port" && i + 1 < argc) {
            port = std::atoi(argv[++i]);
        } else if (a == "--unum" && i + 1 < argc) {
            unum = std::atoi(argv[++i]);
        } else if (a == "--team" && i + 1 < argc) {
            team = argv[++i];
        } else if (a == "--steps" && i + 1 < argc) {
            steps = std::atoi(argv[++i]);
        } else if (a == "--beam" && i + 3 < argc) {
            beam = true;
            bx = std::atof(argv[++i]);
            by = std::atof(argv[++i]);
            ba = std::atof(argv[++i]);
        } else if (a == "--arms" && i + 1 < argc) {
            armDown = std::atof(argv[++i]);
        } else if (a == "--behind-from" && i + 1 < argc) {
            behindFrom = std::atoi(argv[++i]);
        } else if (a == "--quiet") {
            quiet = true;
        } else {
            std::cerr << "usage: tovra-sim-client [--port N] [--unum N] [--team T] [--steps N]"
                         " [--beam x y angle] [--arms shoulderPitchDeg] [--behind-from N]"
                         " [--quiet]\n";
            return 2;
        }
    }
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        std::cerr << "tovra-sim-client: cannot connect to port " << port << "\n";
        return 1;
    }
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sendAll(fd, "(scene rsg/agent/nao/nao.rsg)");

    const auto& js = tovrasim::RobotModel::joints();
    std::map<std::string, int> index;
    for (int j = 0; j < tovrasim::RobotModel::kNumJoints; ++j)
        index[js[j].perceptor] = j;
    double target[tovrasim::RobotModel::kNumJoints] = {};
    target[14] = target[15] = armDown;

    tovrasim::FrameDecoder dec(1 << 20);
    char buf[65536];
    int received = 0;
    bool beamed = false;
    std::string body, held;
    while (steps < 0 || received < steps) {
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        dec.feed(buf, static_cast<size_t>(n));
        while (dec.next(body)) {
            ++received;
            if (received == 1) {
                sendAll(fd, "(init (unum " + std::to_string(unum) + ")(teamname " + team + "))");
                continue;
            }
            std::string err;
            double angle[tovrasim::RobotModel::kNumJoints] = {};
            std::string pm;
            for (const tovrasim::Sexp& e : tovrasim::Sexp::parse(body, err)) {
                if (e.head() == "HJ") {
                    const tovrasim::Sexp* nm = e.find("n");
                    const tovrasim::Sexp* ax = e.find("ax");
                    if (nm && ax && nm->items.size() == 2 && ax->items.size() == 2) {
                        auto it = index.find(nm->items[1].text);
                        if (it != index.end())
                            angle[it->second] = std::atof(ax->items[1].text.c_str());
                    }
                } else if (e.head() == "GS") {
                    if (const tovrasim::Sexp* p = e.find("pm"); p && p->items.size() == 2) {
                        pm = p->items[1].text;
                    }
                }
                if (!quiet && e.head() == "time" && received % 50 == 0) {
                    std::cout << body.substr(0, 200) << "\n";
                }
            }
            std::string reply;
            if (beam && !beamed && pm == "BeforeKickOff") {
                char b[96];
                std::snprintf(b, sizeof b, "(beam %g %g %g)", bx, by, ba);
                reply += b;
                beamed = true;
            }
            for (int j = 0; j < tovrasim::RobotModel::kNumJoints; ++j) {
                const double v = (target[j] - angle[j]) * 3.14159265358979 / 180.0 * 10.0;
                char b[64];
                std::snprintf(b, sizeof b, "(%s %.4f)", js[j].effector, v);
                reply += b;
            }
            if (behindFrom >= 0 && received - 1 >= behindFrom) {
                // Running behind: the previous reply goes out now, this one
                // with the next message.
                if (!held.empty() && !sendAll(fd, held))
                    return 1;
                held = reply;
            } else if (!sendAll(fd, reply)) {
                return 1;
            }
        }
    }
    ::close(fd);
    return 0;
}
