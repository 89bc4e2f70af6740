#include "LogUnit/LogUnit.h"

#include <cstring>
#include <iostream>

LogUnit logunit;

LogUnit::LogUnit() : f(nullptr), Unum(0), logpause(false), currentTime(0) {
    logstring[0] = '\0';
    for (int i = 0; i < MaxChannels; ++i) {
        label[i][0] = '\0';
        LogOn[i] = false;
    }
}

bool LogUnit::IsValidChannel(int n) const {
    return n >= 0 && n < MaxChannels;
}

void LogUnit::SetLogOn(int n) {
    if (IsValidChannel(n))
        LogOn[n] = true;
}

void LogUnit::SetLogOff(int n) {
    if (IsValidChannel(n))
        LogOn[n] = false;
}

void LogUnit::SetLabel(int n, std::string caption) {
    if (!IsValidChannel(n))
        return;
    std::size_t len = caption.size() < LabelSize - 1 ? caption.size() : LabelSize - 1;
    std::memcpy(label[n], caption.data(), len);
    label[n][len] = '\0';
}

void LogUnit::PauseLog(bool value) {
    logpause = value;
}

void LogUnit::updateTime(int t) {
    currentTime = t;
}

void LogUnit::Init(int unum) {
    static const char* const standardLabels[] = {
        "None",    "Position", "Goalie",       "Kick",      "Pass",   "AdjustKick",
        "SetPlay", "Dribble",  "Shoot",        "Evaluate",  "Parser", "Network",
        "Update",  "Goto",     "Interception", "HabdelBall"};
    const int count = sizeof(standardLabels) / sizeof(standardLabels[0]);
    for (int i = 0; i < count; ++i)
        SetLabel(i, standardLabels[i]);
    SetLogOn(1);
    logpause = false;
    Unum = unum;
    std::cout << "1 : ";
}
