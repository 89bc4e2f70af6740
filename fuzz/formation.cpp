// Arbitrary bytes as "formation.conf" in a scratch working directory, read by
// a fresh Position (normal formation) and re-read by a long-lived one for a
// formation chosen by the input, which keeps what earlier files wrote. Every
// robot's beam text must stay well-formed and every home position finite.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "Actions/Actions.h"
#include "FuzzSupport.h"
#include "WorldModel/Position.h"
#include "WorldModel/Types.h"
#include "WorldModel/WorldModel.h"

namespace {

using tovra::fuzz::checkCommands;
using tovra::fuzz::fail;

void checkPosition(Position& pos, WorldModel* wm) {
    if (pos.getBeamInfoCount() < 0 || pos.getBeamInfoCount() > Position::MAX_ENTRIES) {
        fail("entry count outside the table", std::to_string(pos.getBeamInfoCount()));
    }
    for (int unum : {1, 2, 7, 11, 0, -1, 12, 1000000}) {
        wm->setUnum(unum);
        const std::string text = pos.init();
        if (!text.empty()) {
            if (text.compare(0, 6, "(beam ") != 0) {
                fail("beam text without the beam", text);
            }
            checkCommands(text, {true, false});
        }
        const Vector3f home = pos.getHomePos();
        if (!std::isfinite(home.x()) || !std::isfinite(home.y()) || home.z() != 0.0f) {
            fail("home position not a finite ground point", text);
        }
    }
    wm->setUnum(1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static WorldModel* wm = [] {
        tovra::fuzz::silenceStreams();
        tovra::fuzz::enterScratchDir();
        Types::fill();
        return WorldModel::instance();
    }();
    static Actions* acs = Actions::getInstance();
    static Position kept(acs);

    tovra::fuzz::writeFile("formation.conf", data, size);
    Position fresh(acs);
    checkPosition(fresh, wm);

    kept.setFormation(static_cast<Formation>(size % 3));
    checkPosition(kept, wm);
    return 0;
}
