#include "Actions/Action.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <set>
#include <sstream>

#include "Effector/Effector.h"
#include "Effector/JointCommand.h"
#include "WorldModel/WorldModel.h"

double Action::factor = 0.0;
std::string Action::phase = "normal";
double Action::delta = 0.0;

namespace {

// Lines of a key-frame table hold at most 999 characters.
const std::streamsize kMatrixLine = 1000;
const double kCycle = 0.02;
const double kTwoPi = 6.283185307179586;
// Playback times are sums of kCycle; this absorbs their rounding so that a
// segment ending at 1 s still plays its 50th cycle.
const double kTimeSlack = 1e-9;

std::set<std::string>& reportedFiles() {
    static std::set<std::string> files;
    return files;
}

// One term of a sine line: amplitude (degrees), period (seconds), phase
// (radians), offset (degrees).
struct SineTerm {
    double amplitude;
    double period;
    double shift;
    double offset;
};

struct SineLine {
    JointID joint;
    std::size_t firstTerm;
    std::size_t termCount;
};

}  // namespace

Action::Action()
    : WM(WorldModel::instance()), actMatrix(), fo("l.txt", std::ios::out | std::ios::trunc) {
    const Effector* effector = Effector::instance();
    for (int j = 0; j < JID_MAX; ++j) {
        jointName[j] = effector->mEffectorName[j];
    }
}

Action::~Action() = default;

std::string Action::moveJoint(JointID joint, double value) const {
    std::string text;
    if (joint < JID_HEAD_1 || joint >= JID_MAX) {
        return text;
    }
    appendJointCommand(text, jointName[joint], value);
    return text;
}

std::string Action::actsPath(const std::string& name) {
    return "./Acts/" + name + ".txt";
}

void Action::forgetReportedFiles() {
    reportedFiles().clear();
}

void Action::reportFile(const char* where, const char* what, const std::string& path) {
    if (reportedFiles().insert(path).second) {
        std::cout << "(" << where << ") " << what << " " << path << "\n";
    }
}

void Action::appendUndrivenZeros(std::string& text, const bool driven[JID_MAX]) const {
    for (int j = JID_HEAD_2; j < JID_MAX; ++j) {
        if (!driven[j]) {
            appendJointCommand(text, jointName[j], 0.0);
        }
    }
}

bool Action::matrixFill(KeyFrameTable& table, const std::string& fileName) {
    const std::string path = actsPath(fileName);
    std::ifstream in(path);
    if (!in) {
        reportFile("matrixFill", "cannot read", path);
        return false;
    }
    char line[kMatrixLine];
    int rows = 0;
    int cols = 0;
    {
        if (!in.getline(line, kMatrixLine)) {
            reportFile("matrixFill", "bad key-frame table", path);
            return false;
        }
        std::istringstream head(line);
        // The table holds 24 x 100 numbers. A table without joint rows (fewer
        // than 3 rows) still plays its time line; at least one column is
        // needed because the last column's end time ends the motion.
        if (!(head >> rows >> cols) || rows < 0 || rows > MATRIX_ROWS || cols < 1 ||
            cols > MATRIX_COLS) {
            reportFile("matrixFill", "bad key-frame table", path);
            return false;
        }
    }
    for (int r = 0; r < MATRIX_ROWS; ++r) {
        std::fill(table[r], table[r] + MATRIX_COLS, 0.0);
    }
    for (int r = 0; r < rows; ++r) {
        // A missing or over-long line leaves the table short.
        if (!in.getline(line, kMatrixLine)) {
            reportFile("matrixFill", "bad key-frame table", path);
            return false;
        }
        std::istringstream numbers(line);
        double value = 0;
        int c = 0;
        // Numbers beyond the declared column count are stored but never
        // played; numbers beyond the table's width are dropped.
        while (c < MATRIX_COLS && numbers >> value) {
            table[r][c++] = value;
        }
        // Joint rows name a joint by its JointID + 1.
        if (r >= 2 && !(table[r][0] >= 1.0 && table[r][0] < JID_MAX + 1.0)) {
            reportFile("matrixFill", "bad key-frame table", path);
            return false;
        }
    }
    table[0][0] = rows;
    table[1][0] = cols;
    return true;
}

std::string Action::act(const KeyFrameTable& table, double& time) {
    std::string text;
    const int rows = static_cast<int>(table[0][0]);
    const int cols = static_cast<int>(table[1][0]);
    if (rows < 0 || rows > MATRIX_ROWS || cols < 1 || cols > MATRIX_COLS) {
        time = 0;
        return text;
    }
    bool driven[JID_MAX] = {};
    for (int i = 1; i < cols; ++i) {
        const double start = table[0][i];
        const double end = table[1][i];
        if (!(start - 0.01 <= time && time < end - 0.01)) {
            continue;
        }
        for (int r = 2; r < rows; ++r) {
            const double number = table[r][0];
            if (!(number >= 1.0 && number < JID_MAX + 1.0)) {
                continue;
            }
            const JointID joint = static_cast<JointID>(static_cast<int>(number) - 1);
            const double value = (table[r][i] - WM->getJointAngle(joint)) / (end - time) / 50.0;
            appendJointCommand(text, jointName[joint], value);
            driven[joint] = true;
        }
    }
    time += kCycle;
    if (time > table[1][cols - 1] + kTimeSlack) {
        time = 0;
        return std::string();
    }
    appendUndrivenZeros(text, driven);
    return text;
}

std::string Action::sinFill(const std::string& fileName, double& time,
                            const std::vector<std::string>& params) {
    const std::string path = actsPath(fileName);
    std::ifstream in(path);
    if (!in) {
        reportFile("sinFill", "cannot read", path);
        time = 0;
        return std::string();
    }
    double startupTime = 0;
    double shutdownTime = 0;
    std::string line;
    {
        std::getline(in, line);
        std::istringstream head(line);
        if (!(head >> startupTime >> shutdownTime)) {
            reportFile("sinFill", "bad sine file", path);
            time = 0;
            return std::string();
        }
    }
    // The whole file is checked before anything moves.
    std::vector<SineLine> lines;
    std::vector<SineTerm> terms;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name;
        if (!(words >> name)) {
            continue;  // a blank line
        }
        const JointID joint = Types::getJointID(name);
        if (joint == JID_MAX) {
            reportFile("sinFill", "unknown joint in", path);
            time = 0;
            return std::string();
        }
        SineLine entry{joint, terms.size(), 0};
        std::string separator;
        while (words >> separator) {
            SineTerm term{};
            if (!(words >> term.amplitude >> term.period >> term.shift >> term.offset) ||
                term.period == 0.0) {
                reportFile("sinFill", "bad sine file", path);
                time = 0;
                return std::string();
            }
            terms.push_back(term);
            ++entry.termCount;
        }
        lines.push_back(entry);
    }
    if (terms.empty()) {
        reportFile("sinFill", "bad sine file", path);
        time = 0;
        return std::string();
    }
    const double period = terms.back().period;

    if (!params.empty()) {
        phase = params[0];
        if (params[0] == "start") {
            factor = 0;
        }
    }
    // A fade time of zero (or less) fades at once.
    if (phase == "start" || phase == "normal") {
        delta = startupTime > 0 ? kCycle / startupTime : 1.0;
    } else if (phase == "end") {
        delta = shutdownTime > 0 ? -kCycle / shutdownTime : -1.0;
    }
    factor = std::min(1.0, std::max(0.0, factor + delta));

    std::string text;
    bool driven[JID_MAX] = {};
    for (const SineLine& entry : lines) {
        double angle = 0;
        for (std::size_t k = entry.firstTerm; k < entry.firstTerm + entry.termCount; ++k) {
            const SineTerm& term = terms[k];
            angle += factor * term.amplitude * std::sin(time / term.period * kTwoPi + term.shift) +
                     term.offset;
        }
        const double value = (angle - WM->getJointAngle(entry.joint)) * 0.1;
        appendJointCommand(text, jointName[entry.joint], value);
        driven[entry.joint] = true;
    }

    if (time >= period - kTimeSlack) {
        time = 0;
        // Outside the wind-down one period is one step; winding down ends
        // once the motion has faded out.
        if (phase != "end" || factor < 0.02) {
            return std::string();
        }
    }
    time += kCycle;
    appendUndrivenZeros(text, driven);
    return text;
}

std::string Action::messageFill(const std::string& fileName, double& time) {
    const std::string path = actsPath(fileName);
    std::ifstream in(path);
    if (!in) {
        reportFile("messageFill", "cannot read", path);
        time = 0;
        return std::string();
    }
    std::string line;
    double t = 0;
    while (std::getline(in, line)) {
        if (t >= time) {
            // An empty line would read as the end of the motion, so it ends
            // the playback like the end of the file.
            if (line.empty()) {
                break;
            }
            time += kCycle;
            return line;
        }
        t += kCycle;
    }
    time = 0;
    return std::string();
}
