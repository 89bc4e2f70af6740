#ifndef TOVRA_TESTS_SUPPORT_SCRIPTEDWORLD_H
#define TOVRA_TESTS_SUPPORT_SCRIPTEDWORLD_H

#include <functional>
#include <memory>
#include <string>

#include "WorldModel/Types.h"

class Actions;
class WorldModel;

namespace tovra::test {

class ScratchDir;

// A world model scripted through its setters for tests of the decision code:
// the agent's pose, the ball and the other players are placed directly in the
// global frame, and the observations the skills read (bearing, body-relative
// position, confidences) are made consistent with the pose (head pan 0).
//
// Construction destroys the decision and motion singletons (tactic, skills,
// dispatcher, walk engine, fall detection, world model) and forgets the walk behaviour's
// kept values, so that every scripted world
// starts with fresh state; they are created again in a scratch working
// directory that holds nothing (no motion files, no formation, no
// "outputdata") unless the test writes it before the first use.
class ScriptedWorld {
public:
    explicit ScriptedWorld(int unum = 9);
    ~ScriptedWorld();
    ScriptedWorld(const ScriptedWorld&) = delete;
    ScriptedWorld& operator=(const ScriptedWorld&) = delete;

    // Destroys the singletons in dependency order.
    static void resetSingletons();

    WorldModel* wm() const { return wm_; }
    Actions* acs() const;
    ScratchDir& dir() const { return *dir_; }

    // Server time; later placements are stamped with it.
    void setTime(double t);
    double time() const;
    // Moves the clock on by dt seconds; nothing is refreshed.
    void advance(double dt);

    // The agent at (x, y) facing `angle` degrees, localized now (or `age`
    // seconds ago).
    void placeMe(double x, double y, double angle, double age = 0);
    // The ball at (x, y): localized and seen now unless ages are given
    // (negative: never).
    void placeBall(double x, double y, double seenAge = 0, double localizedAge = 0);
    // The ball at body-relative (rx, ry) from the agent's current pose.
    void placeBallRel(double rx, double ry, double seenAge = 0, double localizedAge = 0);
    // Any object at (x, y), localized `localizedAge` seconds ago (negative:
    // never) and seen `seenAge` seconds ago (negative: not seen).
    void place(Object obj, double x, double y, double localizedAge = 0, double seenAge = -1);
    void setFallen(Object obj, bool fallen);

    // Runs a skill with no action running, so that the action it asks for
    // is the one the dispatcher takes. Returns that action, UNKNOWN when the
    // skill sent nothing; the text is left in lastText().
    ActionType run(const std::function<std::string()>& skill);
    const std::string& lastText() const { return lastText_; }

private:
    void setVision(Object obj, double x, double y, double seenAge);

    std::unique_ptr<ScratchDir> dir_;
    WorldModel* wm_;
    std::string lastText_;
};

}  // namespace tovra::test

#endif
