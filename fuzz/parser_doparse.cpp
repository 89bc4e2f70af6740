// Arbitrary text as one perceptor message into the world model, followed by
// the world-model queries the decision code asks every cycle. The state of
// the world model carries over from input to input, as it does in a match.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <streambuf>
#include <string>

#include "WorldModel/Parser.h"
#include "WorldModel/Types.h"
#include "WorldModel/WorldModel.h"

namespace {

// Discards everything written to it.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};

Parser* setup() {
    // The diagnostics are part of the behaviour but would flood the log.
    static NullBuffer null;
    std::cout.rdbuf(&null);
    std::cerr.rdbuf(&null);
    Types::fill();
    return new Parser();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Parser* parser = setup();
    parser->doParse(std::string(reinterpret_cast<const char*>(data), size));

    WorldModel* wm = WorldModel::instance();
    volatile double sink = 0;
    for (int obj = FLAG_1L; obj < OBJECT_MAX; ++obj) {
        const Object o = static_cast<Object>(obj);
        sink = sink + wm->getLocalConfidence(o) + wm->getBodyRelAngle(o) +
               wm->getBodyRelPos(o).x() + wm->getBodyRelAngle(wm->getObjectVision(o).localPos);
    }
    sink = sink + wm->canSeeFlags() + wm->canSeeBall() + wm->getBallDist() +
           wm->getOurClosestToBall() + wm->getEnemyClosestToBall() + wm->getKickOffUs() +
           wm->getKickOffOther() + wm->canBeam() + wm->getRelPos(wm->getBallPos()).x();
    return 0;
}
