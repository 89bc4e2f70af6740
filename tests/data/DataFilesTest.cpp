// The run-time data shipped in data/: the formation file read by the agent's
// own reader, and every motion file of the action library played once by the
// agent's own actions, with its joints and values checked against the
// robot's joint ranges and speed limit.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "Actions/Action.h"
#include "Actions/Actions.h"
#include "Actions/ApproachActions.h"
#include "Effector/Effector.h"
#include "Skills/Skills.h"
#include "WorldModel/Position.h"
#include "WorldModel/Types.h"
#include "WorldModel/WorldModel.h"
#include "support/ScratchDir.h"

namespace {

using tovra::test::ScratchDir;

const std::string kData = TOVRA_DATA_DIR;

// Joint ranges of the robot (degrees), in JointID order.
const double kRange[JID_MAX][2] = {{-120, 120}, {-45, 45},  {-90, 1},   {-90, 1},    {-25, 45},
                                   {-45, 25},   {-25, 100}, {-25, 100}, {-130, 1},   {-130, 1},
                                   {-45, 75},   {-45, 75},  {-45, 25},  {-25, 45},   {-120, 120},
                                   {-120, 120}, {-95, 1},   {-1, 95},   {-120, 120}, {-120, 120},
                                   {-1, 90},    {-90, 1}};
// The servos' speed limit, radians per second (351.77 degrees per second).
const double kMaxSpeed = 6.14;

std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> out;
    std::string line;
    while (std::getline(in, line)) {
        out.push_back(line);
    }
    return out;
}

// The whole test program works in one scratch directory holding a copy of
// the data, set up before the dispatcher (which reads the scripts when it is
// created) exists.
class DataFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new ScratchDir();
        for (const char* entry : {"Acts", "formation.conf", "outputdata"}) {
            ASSERT_EQ(::symlink((kData + "/" + entry).c_str(), entry), 0) << entry;
        }
        Types::fill();
        WorldModel::instance()->setUnum(1);
        acs = Actions::getInstance();
    }
    static void TearDownTestSuite() {
        delete dir;
        dir = nullptr;
    }

    static ScratchDir* dir;
    static Actions* acs;
};

ScratchDir* DataFiles::dir = nullptr;
Actions* DataFiles::acs = nullptr;

TEST_F(DataFiles, FormationGivesElevenHomesInTheOwnHalfForEachFormation) {
    Position pos(acs);
    for (Formation f : {F_NORMAL, F_DEFENSIVE, F_OFFENSIVE}) {
        SCOPED_TRACE(f);
        pos.setFormation(f);
        ASSERT_EQ(pos.getBeamInfoCount(), 11);
        std::map<int, Vector3f> home;
        for (int i = 0; i < pos.getBeamInfoCount(); ++i) {
            home[pos.getBeamInfo(i).unum] = pos.getBeamInfo(i).beamPos;
        }
        ASSERT_EQ(home.size(), 11u);
        for (const auto& [unum, p] : home) {
            EXPECT_GE(unum, 1);
            EXPECT_LE(unum, 11);
            EXPECT_LE(p.x(), 0.0f) << unum;
            EXPECT_GE(p.x(), -15.0f) << unum;
            EXPECT_LE(std::fabs(p.y()), 10.0f) << unum;
        }
        // The goalies stand inside the goalie role's box.
        for (int unum : {1, 2}) {
            EXPECT_GE(home[unum].x(), -14.7f);
            EXPECT_LE(home[unum].x(), -14.0f);
            EXPECT_LE(std::fabs(home[unum].y()), 1.0f);
        }
        // Number 7 takes the kick-off from the centre.
        EXPECT_LT(std::fabs(home[7].x()), 1.0f);
        EXPECT_LT(std::fabs(home[7].y()), 0.5f);
    }
}

TEST_F(DataFiles, EveryActionPlaysItsFile) {
    // One cycle of every action that reads a file gives commands (a missing
    // or malformed file would end the action at once with an empty text).
    const ActionType played[] = {DIVE_FRONT,
                                 DIVE_BACK,
                                 DIVE_HAND_L,
                                 DIVE_HAND_R,
                                 DIVE_LEG_L,
                                 DIVE_LEG_R,
                                 DEFEND_GOAL_L,
                                 DEFEND_GOAL_R,
                                 LIE_FRONT,
                                 LIE_BACK,
                                 GET_UP_FRONT,
                                 GET_UP_LEFT,
                                 GET_UP_RIGHT,
                                 STEP,
                                 WAIT,
                                 TURN_L,
                                 FAST_TURN_L,
                                 SLOW_TURN_L,
                                 TURN_R,
                                 FAST_TURN_R,
                                 SLOW_TURN_R,
                                 LARGE_TURN_L,
                                 LARGE_TURN_R,
                                 WALK_FORWARD,
                                 WALK_FAST,
                                 MINI_WALK_FORWARD,
                                 WALK_BACKWARD,
                                 WALK_LEFT,
                                 WALK_FAST_LEFT,
                                 WALK_SLOW_LEFT,
                                 WALK_RIGHT,
                                 WALK_FAST_RIGHT,
                                 WALK_SLOW_RIGHT,
                                 WALK_AROUND_BALL_L,
                                 WALK_AROUND_BALL_R,
                                 WALK_SIDE_L,
                                 WALK_SIDE_R,
                                 WALK_SIDE_SHORT_L,
                                 WALK_SIDE_SHORT_R,
                                 SHOOT};
    for (ActionType type : played) {
        SCOPED_TRACE(type);
        Action* action = acs->getAction(type);
        ASSERT_NE(action, nullptr);
        EXPECT_FALSE(action->execute({"start"}).empty());
    }
    // The scripts are read when the dispatcher is created; a script longer
    // than its limit of kept lines would be cut short, so every line of the
    // file must be kept.
    const std::tuple<ActionType, const char*, std::size_t> scripts[] = {
        {GET_UP_BACK, "GetUpBack", 100},
        {KICK_L, "KickL", 300},
        {KICK_R, "KickR", 300},
        {SETTOZERO, "SetToZero", 300}};
    for (const auto& [type, name, limit] : scripts) {
        SCOPED_TRACE(name);
        const auto* script = dynamic_cast<ApproachAction*>(acs->getAction(type));
        ASSERT_NE(script, nullptr);
        std::size_t inFile = 0;
        for (const std::string& line : lines(kData + "/Acts/" + name + ".txt")) {
            inFile += !line.empty() && line[0] == '(';
        }
        EXPECT_GT(inFile, 0u);
        EXPECT_LE(inFile, limit);
        EXPECT_EQ(script->getLineCount(), std::min(inFile, limit));
    }
}

TEST_F(DataFiles, KeyFrameTablesStayInsideTheJointRanges) {
    const char* tables[] = {
        "DiveFront",   "DiveBack",       "DiveHandL",      "DiveHandR", "DiveLegL",   "DiveLegR",
        "DefendGoalL", "DefendGoalR",    "LieFront",       "LieBack",   "GetUpFront", "GetUpLeft",
        "GetUpRight",  "WalkSideShortL", "WalkSideShortR", "Shoot",     "Wait"};
    for (const char* name : tables) {
        SCOPED_TRACE(name);
        const std::vector<std::string> rows = lines(kData + "/Acts/" + name + ".txt");
        ASSERT_GE(rows.size(), 3u);
        std::istringstream head(rows[0]);
        int m = 0, n = 0;
        ASSERT_TRUE(head >> m >> n);
        // The size line, then one line per table row.
        ASSERT_EQ(static_cast<int>(rows.size()), m + 1);
        for (int r = 2; r < m; ++r) {
            std::istringstream row(rows[r + 1]);
            double id = 0;
            ASSERT_TRUE(row >> id);
            const int joint = static_cast<int>(id) - 1;
            ASSERT_GE(joint, 0);
            ASSERT_LT(joint, JID_MAX);
            double angle = 0;
            int columns = 1;
            while (row >> angle) {
                EXPECT_GE(angle, kRange[joint][0] - 1e-6) << "row " << r;
                EXPECT_LE(angle, kRange[joint][1] + 1e-6) << "row " << r;
                ++columns;
            }
            EXPECT_EQ(columns, n) << "row " << r;
        }
    }
}

TEST_F(DataFiles, CommandLinesNameKnownJointsWithinTheServoSpeed) {
    const Effector* effector = Effector::instance();
    std::map<std::string, int> known;
    for (int j = 0; j < JID_MAX; ++j) {
        known[effector->mEffectorName[j]] = j;
    }
    const char* files[] = {"Acts/WalkSideL.txt", "Acts/WalkSideR.txt", "Acts/GetUpBack.txt",
                           "Acts/KickL.txt",     "Acts/KickR.txt",     "Acts/SetToZero.txt",
                           "outputdata"};
    for (const char* file : files) {
        SCOPED_TRACE(file);
        const std::vector<std::string> text = lines(kData + "/" + file);
        ASSERT_FALSE(text.empty());
        for (std::size_t i = 0; i < text.size(); ++i) {
            const std::string& line = text[i];
            ASSERT_FALSE(line.empty()) << "line " << i;
            ASSERT_EQ(line[0], '(') << "line " << i;
            std::size_t at = 0;
            while ((at = line.find('(', at)) != std::string::npos) {
                const std::size_t close = line.find(')', at);
                ASSERT_NE(close, std::string::npos) << "line " << i;
                std::istringstream item(line.substr(at + 1, close - at - 1));
                std::string name;
                double value = 0;
                ASSERT_TRUE(item >> name >> value) << "line " << i;
                EXPECT_EQ(known.count(name), 1u) << name << " in line " << i;
                EXPECT_TRUE(std::isfinite(value));
                EXPECT_LE(std::fabs(value), kMaxSpeed) << name << " in line " << i;
                at = close;
            }
        }
    }
}

TEST_F(DataFiles, StandUpLinesAreKeptBySkills) {
    const Skills* skills = Skills::getInstance();
    EXPECT_GT(skills->getStandLen(), 50);
    EXPECT_LE(skills->getStandLen(), 3000);
    for (int i = 0; i < skills->getStandLen(); ++i) {
        ASSERT_EQ(skills->getStandLine(i)[0], '(');
    }
}

}  // namespace
