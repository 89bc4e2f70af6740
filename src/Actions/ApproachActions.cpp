#include "Actions/ApproachActions.h"

#include <fstream>
#include <iostream>

#include "Effector/JointCommand.h"
#include "WorldModel/WorldModel.h"

namespace {

// Script lines hold at most 2047 characters.
const std::streamsize kScriptLine = 2048;

// The approach drives the arms, then the legs, right side first.
const JointID kApproachOrder[] = {JID_RARM_1, JID_RARM_2, JID_RARM_3, JID_RARM_4, JID_LARM_1,
                                  JID_LARM_2, JID_LARM_3, JID_LARM_4, JID_RLEG_1, JID_RLEG_2,
                                  JID_RLEG_3, JID_RLEG_4, JID_RLEG_5, JID_RLEG_6, JID_LLEG_1,
                                  JID_LLEG_2, JID_LLEG_3, JID_LLEG_4, JID_LLEG_5, JID_LLEG_6};

// The side kicks' start posture: both legs bent, shoulders forward; the kicks
// differ only in the arm rolls.
std::vector<std::pair<JointID, double>> sideKickPosture(double leftArmRoll, double rightArmRoll) {
    return {
        {JID_LLEG_3, 9.17},   {JID_LLEG_4, -34.38},
        {JID_LLEG_5, 25.78},  {JID_RLEG_3, 9},
        {JID_RLEG_4, -34.39}, {JID_RLEG_5, 25.75},
        {JID_LARM_1, -90},    {JID_LARM_2, leftArmRoll},
        {JID_RARM_1, -90},    {JID_RARM_2, rightArmRoll},
    };
}

}  // namespace

ApproachAction::ApproachAction(const Script& script)
    : mScript(script), target(), readable(false), counter(0), lineIndex(0) {
    for (const auto& entry : mScript.targets) {
        if (entry.first >= JID_HEAD_1 && entry.first < JID_MAX) {
            target[entry.first] = entry.second;
        }
    }
    readScript();
}

void ApproachAction::readScript() {
    std::ifstream in(mScript.fileName);
    if (!in) {
        return;
    }
    char line[kScriptLine];
    while (lines.size() < mScript.maxLines && in.getline(line, kScriptLine)) {
        if (line[0] == '(') {
            lines.emplace_back(line);
        }
    }
    // A line too long for the buffer makes the whole script unusable.
    if (in.fail() && !in.eof()) {
        lines.clear();
        return;
    }
    readable = true;
}

void ApproachAction::appendApproach(std::string& text, JointID joint) const {
    const double value =
        (target[joint] - WM->getJointAngle(joint)) / (mScript.cycles - counter) * 3.0;
    text += ' ';
    appendJointCommand(text, jointName[joint], value);
    text += ' ';
}

std::string ApproachAction::execute(std::vector<std::string> /*params*/) {
    if (mScript.replay && !readable) {
        reportFile(mScript.name.c_str(), "cannot read", mScript.fileName);
        counter = 0;
        lineIndex = 0;
        return std::string();
    }
    if (lineIndex == 0 && counter < mScript.cycles) {
        std::string text;
        if (mScript.driveHead) {
            appendApproach(text, JID_HEAD_1);
            appendApproach(text, JID_HEAD_2);
        }
        for (JointID joint : kApproachOrder) {
            appendApproach(text, joint);
        }
        ++counter;
        return text;
    }
    if (mScript.replay && lineIndex < lines.size()) {
        if (mScript.printIndex) {
            std::cout << lineIndex << "\n";
        }
        return lines[lineIndex++];
    }
    counter = 0;
    lineIndex = 0;
    return std::string();
}

// Script fields: name, file, approach cycles, drive the head, lines kept,
// replay, print each line's index, targets.
GetUpBack::GetUpBack()
    : ApproachAction(Script{"GetUpBack",
                            "./Acts/GetUpBack.txt",
                            36,
                            true,
                            100,
                            true,
                            false,
                            {{JID_LLEG_3, 10},
                             {JID_LLEG_5, -5.74},
                             {JID_RLEG_3, 10},
                             {JID_RLEG_5, -5.74},
                             {JID_LARM_1, -80},
                             {JID_LARM_2, -5},
                             {JID_RARM_1, -80},
                             {JID_RARM_2, 5}}}) {}

KickL::KickL()
    : ApproachAction(Script{"KickL", "./Acts/KickL.txt", 25, false, 300, true, true,
                            sideKickPosture(23, 22.92)}) {}

KickR::KickR()
    : ApproachAction(Script{"KickR", "./Acts/KickR.txt", 25, false, 300, true, false,
                            sideKickPosture(-23, -22.92)}) {}

SetToZero::SetToZero()
    : ApproachAction(Script{"SetToZero",
                            "./Acts/SetToZero.txt",
                            25,
                            false,
                            300,
                            false,
                            false,
                            {{JID_LARM_1, -90}, {JID_RARM_1, -90}}}) {}
