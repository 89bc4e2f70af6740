#ifndef TOVRA_AGENT_MYBEHAVIOR_H
#define TOVRA_AGENT_MYBEHAVIOR_H

#include <string>

#include "spark/sexpparser/sexpparser.h"

// The agent's top-level object: called once per server message, returns the
// text to send back. This is the runtime's stand-in until the think cycle
// exists: it answers nothing and reads every message after the first.
class MyBehavior {
public:
    explicit MyBehavior(int unum);

    std::string Think(const std::string& message);

    int getUnum() const { return mUnum; }
    // Number of predicates read from the last message.
    int lastPredicateCount() const { return mLastPredicateCount; }

private:
    int mUnum;
    bool mInit;
    int mLastPredicateCount;
    SexpParser mParser;
};

#endif
