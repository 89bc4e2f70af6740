#ifndef TOVRA_LOGUNIT_LOGUNIT_H
#define TOVRA_LOGUNIT_LOGUNIT_H

#include <cstdio>
#include <string>

// Process-wide registry of numbered diagnostic channels: a short label and an
// on/off switch per channel, a global pause switch and the current time.
// It has no output operation of its own.
class LogUnit {
public:
    static const int MaxChannels = 32;
    static const int LabelSize = 16;

    LogUnit();

    bool IsValidChannel(int n) const;
    void SetLogOn(int n);
    void SetLogOff(int n);
    // Copies the caption into label n, cut to the 15 characters a slot holds.
    void SetLabel(int n, std::string caption);
    void PauseLog(bool value);
    void updateTime(int t);
    // Standard labels, channel 1 on, pause off; writes "1 : " to standard output.
    void Init(int unum);

    FILE* f;
    char logstring[8196];
    char label[MaxChannels][LabelSize];
    bool LogOn[MaxChannels];
    int Unum;
    bool logpause;
    int currentTime;
};

extern LogUnit logunit;

#endif
