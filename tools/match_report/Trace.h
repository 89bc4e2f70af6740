#ifndef TOVRA_TOOLS_MATCH_REPORT_TRACE_H
#define TOVRA_TOOLS_MATCH_REPORT_TRACE_H

#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tovra::report {

enum Side { kLeft = 0, kRight = 1 };

// One robot in one state line of the simulator's trace.
struct RobotState {
    int side = kLeft;
    int unum = 0;
    std::string team;
    std::array<double, 3> pos{};
    double heading = 0;  // degrees, absolute frame
    bool lying = false;
    bool answered = true;  // replied in time to the previous perception
    // Messages owed by a robot whose replies ran behind (its frames answered
    // earlier messages); 0 when in pace and in traces written before the
    // simulator kept this count.
    int lag = 0;
};

// One state line: the ground truth after one simulation step.
struct Frame {
    double time = 0;
    double gameTime = 0;
    int half = 1;
    std::string playMode;
    std::array<int, 2> score{};
    std::array<double, 3> ball{};
    std::array<double, 3> ballVel{};
    std::vector<RobotState> robots;
};

// A reply that missed its step.
struct LateReply {
    double time = 0;
    int client = -1;
    int side = -1;  // -1: the client had no robot in play
    int unum = 0;
};

// A foul, or a robot the referee moved (away from the ball, into its own
// half, or back beside its half after lying too long or leaving the field).
struct RefereeEvent {
    enum class Type { Foul, Moved, Restart };
    double time = 0;
    Type type = Type::Moved;  // a foul by the robot named, a move, a restart's end
    std::string reason;       // "pushing", "lying", "keep out", "taken", ...
    int side = kLeft;         // a restart's: the side that takes it
    int unum = 0;             // 0: no robot named (a restart not taken)
    std::array<double, 2> at{};
    std::string playMode;  // a restart's: the restart that ended
};

// Classifies and reads one trace line.
class TraceLine {
public:
    enum class Kind { Frame, Late, Event, Malformed };

    // Reads `line` into `frame`, `late` or `event`; malformed lines (bad
    // JSON, missing or mistyped fields, unknown sides, numbers out of range)
    // are reported as such and fill nothing useful.
    static Kind read(std::string_view line, Frame& frame, LateReply& late, RefereeEvent& event);
};

// Reads a trace file line by line; a name ending in ".gz" is read through
// gzip. Lines of any length are accepted up to a bound, longer ones are
// skipped as malformed.
class TraceFile {
public:
    explicit TraceFile(const std::string& path);
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    bool ok() const { return file_ != nullptr; }
    // The next line without its line feed; false at the end. `truncated` is
    // set for a line longer than the bound (its text is cut).
    bool next(std::string& line, bool& truncated);

    // The last state line of a plain trace file that is still being
    // written (an unfinished last line is ignored). False when there is none.
    static bool lastFrame(const std::string& path, Frame& frame);

private:
    std::FILE* file_ = nullptr;
    bool pipe_ = false;
};

}  // namespace tovra::report

#endif
