#include "Actions/ApproachAction.h"

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
