#ifndef TOVRA_TESTS_ACTIONS_ACTIONTESTSUPPORT_H
#define TOVRA_TESTS_ACTIONS_ACTIONTESTSUPPORT_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "Actions/Action.h"
#include "WorldModel/Types.h"
#include "WorldModel/WorldModel.h"
#include "support/ScratchDir.h"

namespace tovra::test {

// Runs each test in a fresh working directory with the name tables filled,
// no joint angles or sightings in the world model and no file reported yet.
class ActionTest : public ::testing::Test {
protected:
    void SetUp() override {
        Types::fill();
        wm = WorldModel::instance();
        wm->mJointIDToAngleMap.clear();
        wm->mObjectToVisionMap.clear();
        wm->setServerTime(0);
        wm->setMyAngle(0);
        Action::forgetReportedFiles();
    }

    void setAngle(JointID joint, double degrees) {
        wm->mJointIDToAngleMap[joint] = static_cast<float>(degrees);
    }

    ScratchDir dir;
    WorldModel* wm = nullptr;
};

inline const char* effectorName(int joint) {
    static const char* const names[JID_MAX] = {
        "he1",  "he2",  "lle1", "rle1", "lle2", "rle2", "lle3", "rle3", "lle4", "rle4", "lle5",
        "rle5", "lle6", "rle6", "lae1", "rae1", "lae2", "rae2", "lae3", "rae3", "lae4", "rae4"};
    return names[joint];
}

// The zero commands a key-frame or sine action adds for the joints it did
// not drive: every joint but the pan joint and the given ones.
inline std::string undrivenZeros(std::initializer_list<JointID> driven) {
    std::string text;
    for (int j = JID_HEAD_2; j < JID_MAX; ++j) {
        bool skip = false;
        for (JointID d : driven) {
            skip = skip || d == j;
        }
        if (!skip) {
            text += std::string("(") + effectorName(j) + " 0)";
        }
    }
    return text;
}

// Number of lines in a captured stream that contain `needle`.
inline int countLines(const std::string& output, const std::string& needle) {
    int count = 0;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos) {
            end = output.size();
        }
        if (output.substr(start, end - start).find(needle) != std::string::npos) {
            ++count;
        }
        start = end + 1;
    }
    return count;
}

}  // namespace tovra::test

#endif
