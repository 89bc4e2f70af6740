// A test of the agent's own code on the simulator: the agent's singletons
// start fresh around each test, and its parser reads what the test feeds it.
#ifndef TOVRA_TESTS_SIM_AGENTFIXTURE_H
#define TOVRA_TESTS_SIM_AGENTFIXTURE_H

#include <gtest/gtest.h>

#include "Effector/Effector.h"
#include "Effector/Kinematic.h"
#include "WorldModel/FallDownRecognition.h"
#include "WorldModel/Localization.h"
#include "WorldModel/Parser.h"
#include "WorldModel/Types.h"
#include "WorldModel/WorldModel.h"

namespace simtest {

class AgentFixture : public ::testing::Test {
protected:
    void SetUp() override {
        resetAgent();
        Types::fill();
        wm_ = WorldModel::instance();
        parser_ = new Parser();
    }
    void TearDown() override {
        delete parser_;
        parser_ = nullptr;
        resetAgent();
    }
    static void resetAgent() {
        Effector::deleteT();
        Kinematic::deleteT();
        FallDownRecognition::deleteT();
        Localization::deleteT();
        WorldModel::deleteT();
    }

    WorldModel* wm_ = nullptr;
    Parser* parser_ = nullptr;
};

}  // namespace simtest

#endif
