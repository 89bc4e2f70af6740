#ifndef TOVRA_ACTIONS_ACTION_H
#define TOVRA_ACTIONS_ACTION_H

#include <fstream>
#include <string>
#include <vector>

#include "WorldModel/Types.h"

class WorldModel;

// A motion the decision layer can request by its ActionType. The dispatcher
// calls execute once per cycle with an optional order ("start", "normal",
// "end") and sends the joint command text it returns; an empty text means
// the action has ended (or finished one walking step).
//
// The base holds the players of the three motion file kinds under "./Acts/":
// key-frame tables (matrixFill, act), sums of sine waves (sinFill) and
// recorded command lines (messageFill). A file that is missing, unreadable or
// does not fit the tables ends its action at once; it is reported once per
// file on standard output.
class Action {
public:
    static constexpr int MATRIX_ROWS = 24;
    static constexpr int MATRIX_COLS = 100;
    typedef double KeyFrameTable[MATRIX_ROWS][MATRIX_COLS];

    // Opens (and so empties) "l.txt" in the working directory.
    Action();
    virtual ~Action();

    virtual std::string execute(std::vector<std::string> params) = 0;

    // "(name value)"; empty for a value outside the joints.
    std::string moveJoint(JointID joint, double value) const;

    // Reads the key-frame table "./Acts/<fileName>.txt" into table; false
    // (reported) when the file cannot be read or does not fit the table.
    bool matrixFill(KeyFrameTable& table, const std::string& fileName);
    // One cycle of a key-frame table at `time` (seconds); advances time and
    // returns empty (time back at 0) after the last segment.
    std::string act(const KeyFrameTable& table, double& time);
    // One cycle of the sine file "./Acts/<fileName>.txt" at `time`.
    std::string sinFill(const std::string& fileName, double& time,
                        const std::vector<std::string>& params);
    // The recorded line of "./Acts/<fileName>.txt" for `time`.
    std::string messageFill(const std::string& fileName, double& time);

    // "./Acts/<name>.txt".
    static std::string actsPath(const std::string& name);

    // Forgets which files were reported, so each is reported again once.
    static void forgetReportedFiles();

    // The fade shared by every sine action: amplitude factor 0..1, the last
    // order and the per-cycle change of the factor.
    static double getFactor() { return factor; }
    static const std::string& getPhase() { return phase; }

protected:
    // Writes "(where) what path" on standard output the first time path is
    // reported by any action.
    static void reportFile(const char* where, const char* what, const std::string& path);
    // A zero command for every joint from JID_HEAD_2 to JID_RARM_4 that was
    // not driven this cycle (the pan joint is left alone).
    void appendUndrivenZeros(std::string& text, const bool driven[JID_MAX]) const;

    WorldModel* WM;
    std::string jointName[JID_MAX];
    KeyFrameTable actMatrix;
    std::ofstream fo;

    static double factor;
    static std::string phase;
    static double delta;
};

// A motion played from one file "./Acts/<name>.txt" (the key-frame, sine and
// recorded families), with its playback time.
class FileAction : public Action {
public:
    // Seconds into the motion (for the sine family: into the current period).
    double getTime() const { return time; }

protected:
    explicit FileAction(const std::string& name) : dataFile{name}, time(0) {}

    std::vector<std::string> dataFile;
    double time;
};

#endif
