#include "WorldModel/Position.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include "Actions/Actions.h"
#include "WorldModel/WorldModel.h"

namespace {

const char* const kFormationFile = "formation.conf";
// Line buffer of the reader: a line holds at most 999 characters.
const std::streamsize kLineBuffer = 1000;

// v truncated to an integer; false when v is not finite or out of int range.
bool toInt(double v, int& out) {
    if (!std::isfinite(v) || v <= static_cast<double>(std::numeric_limits<int>::min()) - 1.0 ||
        v >= static_cast<double>(std::numeric_limits<int>::max()) + 1.0) {
        return false;
    }
    out = static_cast<int>(v);
    return true;
}

// v narrowed to float; false when it does not fit.
bool toFloat(double v, float& out) {
    if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) {
        return false;
    }
    out = static_cast<float>(v);
    return true;
}

}  // namespace

Position::Position(Actions* acs)
    : WM(WorldModel::instance()), ACS(acs), beamInfo(), beamInfoCount(0) {
    setFormation(F_NORMAL);
}

void Position::setFormation(Formation f) {
    int maxCount = 0;
    bool inBlock = false;
    std::ifstream in(kFormationFile);
    char line[kLineBuffer];
    // An over-long line fails getline and ends the reading like the file's end.
    while (in.getline(line, kLineBuffer)) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (!key.empty() && key[0] == '#') {
            continue;
        }
        int axis = -1;
        if (key == "homePosX") {
            axis = 0;
        } else if (key == "homePosY") {
            axis = 1;
        } else if (key == "homePosZ") {
            axis = 2;
        }
        int i = 0;
        double v = 0;
        // At most one number per entry is taken from a line.
        while (i < MAX_ENTRIES && words >> v) {
            if (key == "unums") {
                int number = 0;
                if (!toInt(v, number)) {
                    break;
                }
                beamInfo[i].unum = number;
            } else if (axis >= 0 && inBlock) {
                float value = 0;
                if (!toFloat(v, value)) {
                    break;
                }
                beamInfo[i].beamPos[axis] = value;
            } else if (key == "id") {
                int id = 0;
                if (!toInt(v, id) || id != static_cast<int>(f)) {
                    inBlock = false;
                    break;
                }
                inBlock = true;
            } else {
                break;
            }
            ++i;
        }
        if (i > maxCount) {
            maxCount = i;
        }
    }
    beamInfoCount = maxCount;
}

const Position::BeamInfo* Position::findOwnEntry() const {
    const int unum = WM->getUnum();
    for (int i = 0; i < beamInfoCount; ++i) {
        if (beamInfo[i].unum == unum) {
            return &beamInfo[i];
        }
    }
    return nullptr;
}

std::string Position::init() {
    const BeamInfo* entry = findOwnEntry();
    if (entry == nullptr) {
        return "";
    }
    const std::string state = ACS->initState();
    return ACS->beam(entry->beamPos) + state;
}

Vector3f Position::getHomePos() {
    const BeamInfo* entry = findOwnEntry();
    if (entry == nullptr) {
        // No home position for this uniform number: the origin.
        return Vector3f(0, 0, 0);
    }
    Vector3f home = entry->beamPos;
    home.z() = 0;
    return home;
}

std::string Position::position() {
    return "";
}
