#ifndef TOVRA_TOOLS_MOTION_GROUNDTRUTH_H
#define TOVRA_TOOLS_MOTION_GROUNDTRUTH_H

#include <string>

namespace tovra::motion {

// The simulator's ground truth for one robot and the ball, read from the
// JSON object that the control channel's "(state)" returns.
struct GroundTruth {
    double time = 0;
    std::string playMode;
    int score[2] = {0, 0};  // left, right
    double ball[3] = {0, 0, 0};
    double pos[3] = {0, 0, 0};  // torso centre, absolute frame
    double heading = 0;         // degrees, direction the robot faces
    bool lying = false;         // torso below 0.25 m
    bool valid = false;

    // Reads the first robot of `side` with `unum`; valid stays false when the
    // text holds no such robot.
    static GroundTruth parse(const std::string& json, const std::string& side, int unum);
};

}  // namespace tovra::motion

#endif
