#include "match_report/Trace.h"

#include <cmath>
#include <cstring>

#include "match_report/Json.h"

namespace tovra::report {

namespace {

constexpr size_t kMaxLine = 1 << 20;  // far above a full line with 22 robots
constexpr double kMaxCoordinate = 1e4;

bool numberField(const JsonValue& obj, std::string_view key, double& out) {
    const JsonValue* v = obj.find(key);
    if (!v || !v->isNumber())
        return false;
    out = v->number();
    return std::fabs(out) < 1e9;
}

bool intField(const JsonValue& obj, std::string_view key, int& out, int lo, int hi) {
    double d = 0;
    if (!numberField(obj, key, d) || d < lo || d > hi || d != std::floor(d))
        return false;
    out = static_cast<int>(d);
    return true;
}

bool vec3(const JsonValue* v, std::array<double, 3>& out) {
    if (!v || !v->isArray() || v->items().size() != 3)
        return false;
    for (size_t k = 0; k < 3; ++k) {
        const JsonValue& e = v->items()[k];
        if (!e.isNumber() || std::fabs(e.number()) > kMaxCoordinate)
            return false;
        out[k] = e.number();
    }
    return true;
}

bool sideOf(const JsonValue* v, int& side) {
    if (!v || !v->isString())
        return false;
    if (v->string() == "left") {
        side = kLeft;
    } else if (v->string() == "right") {
        side = kRight;
    } else {
        return false;
    }
    return true;
}

bool readRobot(const JsonValue& r, RobotState& out) {
    if (!r.isObject() || !sideOf(r.find("side"), out.side) ||
        !intField(r, "unum", out.unum, 1, 99) || !vec3(r.find("pos"), out.pos) ||
        !numberField(r, "heading", out.heading))
        return false;
    const JsonValue* team = r.find("team");
    out.team = team && team->isString() ? team->string().substr(0, 64) : std::string();
    const JsonValue* lying = r.find("lying");
    const JsonValue* answered = r.find("answered");
    if (!lying || !lying->isBool() || !answered || !answered->isBool())
        return false;
    out.lying = lying->boolean();
    out.answered = answered->boolean();
    out.lag = 0;
    return !r.find("lag") || intField(r, "lag", out.lag, 0, 1 << 30);
}

bool readFrame(const JsonValue& doc, Frame& f) {
    if (!numberField(doc, "time", f.time) || !numberField(doc, "gameTime", f.gameTime) ||
        !intField(doc, "half", f.half, 1, 9))
        return false;
    const JsonValue* mode = doc.find("playMode");
    if (!mode || !mode->isString() || mode->string().empty() || mode->string().size() > 40)
        return false;
    f.playMode = mode->string();
    const JsonValue* score = doc.find("score");
    if (!score || !score->isArray() || score->items().size() != 2)
        return false;
    for (size_t k = 0; k < 2; ++k) {
        const JsonValue& s = score->items()[k];
        if (!s.isNumber() || s.number() < 0 || s.number() > 1e6)
            return false;
        f.score[k] = static_cast<int>(s.number());
    }
    const JsonValue* ball = doc.find("ball");
    if (!ball || !vec3(ball->find("pos"), f.ball) || !vec3(ball->find("vel"), f.ballVel))
        return false;
    const JsonValue* robots = doc.find("robots");
    if (!robots || !robots->isArray() || robots->items().size() > 64)
        return false;
    f.robots.clear();
    f.robots.reserve(robots->items().size());
    for (const JsonValue& r : robots->items()) {
        RobotState s;
        if (!readRobot(r, s))
            return false;
        f.robots.push_back(std::move(s));
    }
    return true;
}

bool readLate(const JsonValue& doc, const JsonValue& late, LateReply& out) {
    if (!numberField(doc, "time", out.time) || !late.isObject() ||
        !intField(late, "client", out.client, 0, 1 << 30))
        return false;
    out.side = -1;
    out.unum = 0;
    if (late.find("side")) {
        if (!sideOf(late.find("side"), out.side) || !intField(late, "unum", out.unum, 1, 99))
            return false;
    }
    return true;
}

bool readEvent(const JsonValue& doc, const JsonValue& e, RefereeEvent& out) {
    const JsonValue* type = e.isObject() ? e.find("type") : nullptr;
    if (!type || !type->isString())
        return false;
    if (type->string() == "foul")
        out.type = RefereeEvent::Type::Foul;
    else if (type->string() == "moved")
        out.type = RefereeEvent::Type::Moved;
    else if (type->string() == "restart")
        out.type = RefereeEvent::Type::Restart;
    else
        return false;
    // A restart may end with no robot named.
    const int lowest = out.type == RefereeEvent::Type::Restart ? 0 : 1;
    if (!numberField(doc, "time", out.time) || !sideOf(e.find("side"), out.side) ||
        !intField(e, "unum", out.unum, lowest, 99))
        return false;
    const JsonValue* reason = e.find("reason");
    const JsonValue* at = e.find("at");
    const JsonValue* mode = e.find("playMode");
    if (!reason || !reason->isString() || reason->string().empty() ||
        reason->string().size() > 40 || !at || !at->isArray() || at->items().size() != 2 ||
        (mode && (!mode->isString() || mode->string().size() > 40)))
        return false;
    for (size_t k = 0; k < 2; ++k) {
        const JsonValue& v = at->items()[k];
        if (!v.isNumber() || std::fabs(v.number()) > kMaxCoordinate)
            return false;
        out.at[k] = v.number();
    }
    out.reason = reason->string();
    out.playMode = mode ? mode->string() : std::string();
    return true;
}

}  // namespace

TraceLine::Kind TraceLine::read(std::string_view line, Frame& frame, LateReply& late,
                                RefereeEvent& event) {
    JsonValue doc;
    if (line.size() > kMaxLine || !JsonValue::parse(line, doc) || !doc.isObject())
        return Kind::Malformed;
    if (const JsonValue* l = doc.find("late"))
        return readLate(doc, *l, late) ? Kind::Late : Kind::Malformed;
    if (const JsonValue* e = doc.find("event"))
        return readEvent(doc, *e, event) ? Kind::Event : Kind::Malformed;
    return readFrame(doc, frame) ? Kind::Frame : Kind::Malformed;
}

TraceFile::TraceFile(const std::string& path) {
    const std::string gz = ".gz";
    if (path.size() > gz.size() && path.compare(path.size() - gz.size(), gz.size(), gz) == 0) {
        // Quote the name for the shell: every ' becomes '\''.
        std::string quoted = "'";
        for (char c : path)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        quoted += "'";
        file_ = ::popen(("gzip -dc -- " + quoted + " 2>/dev/null").c_str(), "r");
        pipe_ = true;
    } else {
        file_ = std::fopen(path.c_str(), "r");
    }
}

TraceFile::~TraceFile() {
    if (!file_)
        return;
    if (pipe_) {
        ::pclose(file_);
    } else {
        std::fclose(file_);
    }
}

bool TraceFile::next(std::string& line, bool& truncated) {
    line.clear();
    truncated = false;
    if (!file_)
        return false;
    char buf[8192];
    bool any = false;
    while (std::fgets(buf, sizeof buf, file_)) {
        any = true;
        const size_t n = std::strlen(buf);
        const bool end = n > 0 && buf[n - 1] == '\n';
        if (line.size() < kMaxLine) {
            line.append(buf, end ? n - 1 : n);
        } else {
            truncated = true;
        }
        if (end)
            return true;
    }
    return any;
}

bool TraceFile::lastFrame(const std::string& path, Frame& frame) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    // A state line with 22 robots is about 3 KB; after it come at most a
    // few late lines. The tail holds many lines.
    constexpr long kTail = 256 * 1024;
    std::string tail;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long size = std::ftell(f);
        const long start = size > kTail ? size - kTail : 0;
        if (size > 0 && std::fseek(f, start, SEEK_SET) == 0) {
            tail.resize(static_cast<size_t>(size - start));
            tail.resize(std::fread(tail.data(), 1, tail.size(), f));
        }
    }
    std::fclose(f);
    // Only lines that end in a line feed are complete.
    size_t end = tail.rfind('\n');
    while (end != std::string::npos && end > 0) {
        const size_t begin = tail.rfind('\n', end - 1);
        const size_t from = begin == std::string::npos ? 0 : begin + 1;
        LateReply late;
        RefereeEvent event;
        if (TraceLine::read(std::string_view(tail).substr(from, end - from), frame, late, event) ==
            TraceLine::Kind::Frame)
            return true;
        if (begin == std::string::npos)
            break;
        end = begin;
    }
    return false;
}

}  // namespace tovra::report
