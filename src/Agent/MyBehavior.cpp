#include "Agent/MyBehavior.h"

MyBehavior::MyBehavior(int unum) : mUnum(unum), mInit(false), mLastPredicateCount(0) {}

std::string MyBehavior::Think(const std::string& message) {
    if (!mInit) {
        mInit = true;
        return std::string();
    }
    mLastPredicateCount = static_cast<int>(mParser.Parse(message)->GetSize());
    return std::string();
}
