#include "Effector/JointCommand.h"

#include <charconv>
#include <cmath>

int jointToLink(int joint) {
    if (joint < 0 || joint >= JID_MAX) {
        return 0;
    }
    if (joint <= JID_HEAD_2) {
        return joint + 2;
    }
    if (joint <= JID_RLEG_6) {
        return joint + 10;
    }
    return joint - 10;
}

int linkToJoint(int link) {
    if (link < JID_HEAD_1_ || link > JID_RLEG_6_) {
        return JID_MAX;
    }
    if (link <= JID_HEAD_2_) {
        return link - 2;
    }
    if (link <= JID_RARM_4_) {
        return link + 10;
    }
    return link - 10;
}

void appendNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    // "%g" with six significant digits, which is what a text stream writes
    // by default, independent of the C locale.
    char buffer[32];
    const std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, 6);
    out.append(buffer, result.ptr);
}

std::string formatNumber(double value) {
    std::string out;
    appendNumber(out, value);
    return out;
}

void appendJointCommand(std::string& out, const std::string& name, double velocity) {
    out += '(';
    out += name;
    out += ' ';
    appendNumber(out, velocity);
    out += ')';
}
