#ifndef TOVRA_WORLDMODEL_POSITION_H
#define TOVRA_WORLDMODEL_POSITION_H

#include <string>

#include "WorldModel/Types.h"

class Actions;
class WorldModel;

// The formation of the robot's side: one home position per uniform number,
// read from "formation.conf" in the working directory. Gives the beam text
// that places this robot before a kick-off and its home position in play.
class Position {
public:
    // One home-position entry: x, y are field metres, z is the facing angle
    // in degrees, sent unchanged as the third value of the beam command.
    struct BeamInfo {
        int unum = 0;
        Vector3f beamPos;
    };

    static constexpr int MAX_ENTRIES = 12;

    // Reads the normal formation.
    explicit Position(Actions* acs);

    // (Re)reads "formation.conf" for formation f. Entries the file does not
    // write keep their previous values; a missing file reads as empty.
    void setFormation(Formation f);

    // "(beam x y angle)" followed by the initial-state joint commands for
    // this robot's entry; empty when no entry has its uniform number.
    std::string init();

    // This robot's home position on the ground (z = 0). A robot whose
    // uniform number has no entry gets the origin (0, 0, 0).
    Vector3f getHomePos();

    // Always empty.
    std::string position();

    int getBeamInfoCount() const { return beamInfoCount; }
    const BeamInfo& getBeamInfo(int index) const { return beamInfo[index]; }

private:
    // The first valid entry with this robot's uniform number, or null.
    const BeamInfo* findOwnEntry() const;

    WorldModel* WM;
    Actions* ACS;
    BeamInfo beamInfo[MAX_ENTRIES];
    int beamInfoCount;
};

#endif
