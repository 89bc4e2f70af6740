#ifndef TOVRA_MAIN_ENTRY_H
#define TOVRA_MAIN_ENTRY_H

#include <string>

class MyBehavior;

// Process-wide values of the program entry.
extern int uNum;
extern bool gLoop;

// Reads the command line into the connection settings and unum; false when
// the program is to end without connecting.
bool CheckOptions(int argc, char** argv, int& unum);
void PrintHelp();
// The perceive-think-act loop; creates the behaviour when given none and owns it.
void Run(MyBehavior* behavior);
// Asks the server to create the robot.
void ConstructAgent();
void handler(int sig);

#endif
