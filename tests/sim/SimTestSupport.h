// Helpers for the simulator's socket-level tests: a framed client
// connection, a robot that answers on a script, and a reader of the
// ground-truth state line.
#ifndef TOVRA_TESTS_SIM_SIMTESTSUPPORT_H
#define TOVRA_TESTS_SIM_SIMTESTSUPPORT_H

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "FrameDecoder.h"

namespace simtest {

// One framed TCP connection to the simulator on 127.0.0.1.
class Conn {
public:
    explicit Conn(int port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ok_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~Conn() { ::close(fd_); }
    Conn(const Conn&) = delete;
    Conn& operator=(const Conn&) = delete;

    bool ok() const { return ok_; }
    void sendRaw(const std::string& bytes) {
        ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
    void send(const std::string& body) { sendRaw(tovrasim::FrameDecoder::encode(body)); }
    // Next message, or "" after the timeout; `closed` tells a closed stream.
    std::string recv(double timeout = 5.0) {
        std::string body;
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout);
        while (!dec_.next(body)) {
            const double left =
                std::chrono::duration<double>(end - std::chrono::steady_clock::now()).count();
            if (left <= 0)
                return "";
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left * 1000) + 1) <= 0)
                return "";
            char buf[65536];
            ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n <= 0) {
                closed_ = true;
                return "";
            }
            dec_.feed(buf, static_cast<size_t>(n));
        }
        return body;
    }
    bool closed() const { return closed_; }

private:
    int fd_ = -1;
    bool ok_ = false;
    bool closed_ = false;
    tovrasim::FrameDecoder dec_{1 << 20};
};

// How a scripted robot treats one perceptor message.
enum class Answer {
    Now,    // replies at once
    Later,  // replies when the next message arrives (one step late)
    Drop,   // sends nothing and forgets a reply it held back
    Slow,   // replies after ScriptedRobot::kSlowPause (a held reply goes at once)
};

// A robot in play that answers every message as its script says (past the
// script's end: Now). A reply held back by Later goes out when the next
// message arrives, before that message's own reply.
class ScriptedRobot {
public:
    static constexpr auto kSlowPause = std::chrono::milliseconds(400);

    ScriptedRobot(int port, int unum, const std::string& team, std::vector<Answer> script)
        : conn_(port), script_(std::move(script)) {
        conn_.send("(scene rsg/agent/nao/nao.rsg)(init (unum " + std::to_string(unum) +
                   ")(teamname " + team + "))");
    }

    // Reads the next message and answers it; false when none came within
    // `timeout` seconds.
    bool step(double timeout = 5.0) {
        const std::string m = conn_.recv(timeout);
        if (m.empty())
            return false;
        const Answer a = received_ < script_.size() ? script_[received_] : Answer::Now;
        const std::string reply = "(he1 0)(syn)";
        if (a == Answer::Drop) {
            held_ = false;
        } else {
            if (held_)
                conn_.send(reply);
            held_ = a == Answer::Later;
            if (a == Answer::Slow)
                std::this_thread::sleep_for(kSlowPause);
            if (a == Answer::Now || a == Answer::Slow)
                conn_.send(reply);
        }
        messages_.push_back(m);
        ++received_;
        return true;
    }
    const std::vector<std::string>& messages() const { return messages_; }

private:
    Conn conn_;
    std::vector<Answer> script_;
    std::vector<std::string> messages_;
    size_t received_ = 0;
    bool held_ = false;
};

// The ground truth of one state line (the control channel's "(state)"
// reply, or a trace line).
struct RobotState {
    std::string side;
    int unum = 0;
    std::string team;
    double x = 0, y = 0, z = 0, heading = 0;
    bool lying = false;
    bool answered = false;
    long lag = 0;  // messages owed by a robot whose replies run behind
};

struct State {
    bool valid = false;
    double time = -1;
    std::string playMode;
    int score[2] = {0, 0};
    double ball[3] = {0, 0, 0};
    std::vector<RobotState> robots;

    const RobotState* robot(const std::string& side, int unum) const {
        for (const RobotState& r : robots) {
            if (r.side == side && r.unum == unum)
                return &r;
        }
        return nullptr;
    }
};

namespace detail {

// The number after `"key":` at or after `from`, and the position after it.
inline bool number(const std::string& s, const std::string& key, size_t& from, double& out) {
    const size_t at = s.find("\"" + key + "\":", from);
    if (at == std::string::npos)
        return false;
    size_t p = at + key.size() + 3;
    if (p < s.size() && s[p] == '[')
        ++p;
    char* end = nullptr;
    out = std::strtod(s.c_str() + p, &end);
    if (end == s.c_str() + p)
        return false;
    from = static_cast<size_t>(end - s.c_str());
    return true;
}

inline bool numbers(const std::string& s, size_t& from, double* out, int n) {
    for (int k = 0; k < n; ++k) {
        while (from < s.size() && (s[from] == ',' || s[from] == ' '))
            ++from;
        char* end = nullptr;
        out[k] = std::strtod(s.c_str() + from, &end);
        if (end == s.c_str() + from)
            return false;
        from = static_cast<size_t>(end - s.c_str());
    }
    return true;
}

inline bool text(const std::string& s, const std::string& key, size_t& from, std::string& out) {
    const std::string tag = "\"" + key + "\":\"";
    const size_t at = s.find(tag, from);
    if (at == std::string::npos)
        return false;
    const size_t begin = at + tag.size();
    const size_t end = s.find('"', begin);
    if (end == std::string::npos)
        return false;
    out = s.substr(begin, end - begin);
    from = end + 1;
    return true;
}

inline bool flag(const std::string& s, const std::string& key, size_t& from, bool& out) {
    const size_t at = s.find("\"" + key + "\":", from);
    if (at == std::string::npos)
        return false;
    from = at + key.size() + 3;
    out = s.compare(from, 4, "true") == 0;
    from += out ? 4 : 5;
    return true;
}

}  // namespace detail

inline State parseState(const std::string& s) {
    State st;
    size_t p = 0;
    double v[3];
    if (!detail::number(s, "time", p, st.time) || !detail::text(s, "playMode", p, st.playMode))
        return st;
    if (!detail::number(s, "score", p, v[0]) || !detail::numbers(s, p, v + 1, 1))
        return st;
    st.score[0] = static_cast<int>(v[0]);
    st.score[1] = static_cast<int>(v[1]);
    if (!detail::number(s, "pos", p, v[0]) || !detail::numbers(s, p, v + 1, 2))
        return st;
    std::copy(v, v + 3, st.ball);
    size_t r = s.find("\"robots\":[", p);
    if (r == std::string::npos)
        return st;
    for (;;) {
        RobotState rs;
        double num = 0, pos[3];
        size_t q = r;
        if (!detail::text(s, "side", q, rs.side))
            break;
        if (!detail::number(s, "unum", q, num))
            break;
        rs.unum = static_cast<int>(num);
        if (!detail::text(s, "team", q, rs.team) || !detail::number(s, "pos", q, pos[0]) ||
            !detail::numbers(s, q, pos + 1, 2) || !detail::number(s, "heading", q, rs.heading) ||
            !detail::flag(s, "lying", q, rs.lying) || !detail::flag(s, "answered", q, rs.answered))
            break;
        // "lag" is written only while the robot runs behind.
        if (s.compare(q, 7, ",\"lag\":") == 0) {
            detail::number(s, "lag", q, num);
            rs.lag = static_cast<long>(num);
        }
        rs.x = pos[0];
        rs.y = pos[1];
        rs.z = pos[2];
        st.robots.push_back(rs);
        r = q;
    }
    st.valid = true;
    return st;
}

}  // namespace simtest

#endif
