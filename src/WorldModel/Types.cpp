#include "WorldModel/Types.h"

namespace {

struct PlayModeName {
    const char* name;
    PlayMode mode;
};

// The game-state perceptor's play-mode texts. No name maps to PM_Unknown.
const PlayModeName kPlayModeNames[] = {
    {"BeforeKickOff", PM_BeforeKickOff},
    {"KickOff_Left", PM_KickOff_Left},
    {"KickOff_Right", PM_KickOff_Right},
    {"PlayOn", PM_PlayOn},
    {"KickIn_Left", PM_KickIn_Left},
    {"KickIn_Right", PM_KickIn_Right},
    {"free_kick_left", PM_FreeKick_Left},
    {"free_kick_right", PM_FreeKick_Right},
    {"goal_kick_left", PM_Goal_Kick_Left},
    {"goal_kick_right", PM_Goal_Kick_Right},
    {"corner_kick_right", PM_Corner_Kick_Right},
    {"corner_kick_left", PM_Corner_Kick_Left},
    {"Goal_Left", PM_Goal_Left},
    {"Goal_Right", PM_Goal_Right},
    {"offside_left", PM_Offside_Left},
    {"offside_right", PM_Offside_Right},
    {"GameOver", PM_GameOver},
};

// Vision names of the landmarks and the ball; player names are built below.
const char* const kLandmarkNames[] = {"F1L", "F1R", "F2L", "F2R", "G1L", "G1R", "G2L", "G2R", "B"};

// Joint perceptor names, indexed by JointID.
const char* const kJointNames[JID_MAX] = {
    "hj1",  "hj2",  "llj1", "rlj1", "llj2", "rlj2", "llj3", "rlj3", "llj4", "rlj4", "llj5",
    "rlj5", "llj6", "rlj6", "laj1", "raj1", "laj2", "raj2", "laj3", "raj3", "laj4", "raj4",
};

const int kAlphabetSize = 100;

// The byte that carries one digit of the talk alphabet. Space, the quotes,
// the parentheses, the backslash and 127 are never produced.
int alphabetByte(int digit) {
    if (digit == 0) {
        return 33;
    }
    if (digit <= 4) {
        return digit + 34;
    }
    if (digit == 55) {
        return 138;
    }
    if (digit <= 89) {
        return digit + 37;
    }
    return digit + 38;
}

}  // namespace

TStateIDMap Types::mPlayModeMap;
TStringToObjectMap Types::mStringToObjectMap;
TStringToJointIDMap Types::mStringToJointIDMap;
TSayTimeToObjectMap Types::mSayTimeToObjectMap;
TEncodingMap Types::mEncodingMap;
TDecodingMap Types::mDecodingMap;
TJointEffMap Types::mJointEffMap;
THingeJointSenseMap Types::mHingeJointSenseMap;
TTCHMap Types::mTCHMap;

void Types::fill() {
    setupStringToPlayModeMap();
    setupStringToObjectMap();
    setupStringToJointIDMap();
    setupSayTimeToObjectMap();
    setupEncodingMap();
    setupDecodingMap();
}

void Types::setupStringToPlayModeMap() {
    mPlayModeMap.clear();
    for (const PlayModeName& entry : kPlayModeNames) {
        mPlayModeMap[entry.name] = entry.mode;
    }
}

void Types::setupStringToObjectMap() {
    mStringToObjectMap.clear();
    for (int i = FLAG_1L; i < OBJECT_MAX; ++i) {
        mStringToObjectMap[getObjectName(static_cast<Object>(i))] = static_cast<Object>(i);
    }
}

void Types::setupStringToJointIDMap() {
    mStringToJointIDMap.clear();
    for (int i = JID_HEAD_1; i < JID_MAX; ++i) {
        mStringToJointIDMap[kJointNames[i]] = static_cast<JointID>(i);
    }
}

// No say-time pairs are defined; the table is kept and left empty.
void Types::setupSayTimeToObjectMap() {
    mSayTimeToObjectMap.clear();
}

void Types::setupEncodingMap() {
    mEncodingMap.clear();
    for (int digit = 0; digit < kAlphabetSize; ++digit) {
        mEncodingMap[digit] = static_cast<char>(alphabetByte(digit));
    }
}

void Types::setupDecodingMap() {
    mDecodingMap.clear();
    for (int digit = 0; digit < kAlphabetSize; ++digit) {
        mDecodingMap[static_cast<char>(alphabetByte(digit))] = digit;
    }
}

PlayMode Types::getPlayMode(const std::string& name) {
    const auto it = mPlayModeMap.find(name);
    return it == mPlayModeMap.end() ? PM_Unknown : it->second;
}

Object Types::getObject(const std::string& name) {
    const auto it = mStringToObjectMap.find(name);
    return it == mStringToObjectMap.end() ? OBJECT_MAX : it->second;
}

JointID Types::getJointID(const std::string& name) {
    const auto it = mStringToJointIDMap.find(name);
    return it == mStringToJointIDMap.end() ? JID_MAX : it->second;
}

std::string Types::getPlayModeName(PlayMode mode) {
    for (const PlayModeName& entry : kPlayModeNames) {
        if (entry.mode == mode) {
            return entry.name;
        }
    }
    return "";
}

std::string Types::getObjectName(Object object) {
    if (object >= FLAG_1L && object <= BALL) {
        return kLandmarkNames[object];
    }
    if (object >= TEAMMATE_1 && object <= TEAMMATE_11) {
        return "TEAMMATE" + std::to_string(object - TEAMMATE_1 + 1);
    }
    if (object >= OPPONENT_1 && object <= OPPONENT_11) {
        return "OPPONENT" + std::to_string(object - OPPONENT_1 + 1);
    }
    return "";
}

std::string Types::getJointName(JointID joint) {
    if (joint < JID_HEAD_1 || joint >= JID_MAX) {
        return "";
    }
    return kJointNames[joint];
}

char Types::encodeDigit(int digit) {
    if (digit < 0) {
        digit = 0;
    } else if (digit >= kAlphabetSize) {
        digit = kAlphabetSize - 1;
    }
    const auto it = mEncodingMap.find(digit);
    return it == mEncodingMap.end() ? static_cast<char>(alphabetByte(digit)) : it->second;
}

int Types::decodeDigit(char byte) {
    const auto it = mDecodingMap.find(byte);
    return it == mDecodingMap.end() ? 0 : it->second;
}
