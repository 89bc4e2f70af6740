// The simulator's sensor noise: a small random number generator of its own
// (the same numbers on every platform and library version, unlike the
// standard library's distributions) and the noise model of one robot's
// sensors, each robot with its own stream.
#ifndef TOVRA_SIM_NOISE_H
#define TOVRA_SIM_NOISE_H

#include <cstdint>

#include "SimMath.h"

namespace tovrasim {

// splitmix64: advances `state` and returns the next output. Used to expand
// seeds and to derive independent streams.
std::uint64_t splitmix64(std::uint64_t& state);

// A seed for the stream `key` under the run's `seed`: different keys give
// unrelated streams.
std::uint64_t streamSeed(std::uint64_t seed, std::uint64_t key);

// xoshiro256** with a Gaussian by the Box-Muller transform.
class Rng {
public:
    explicit Rng(std::uint64_t seed);
    std::uint64_t next();
    // Uniform in (0, 1]: never zero, so that its logarithm is finite.
    double uniform();
    // Standard normal (mean 0, standard deviation 1).
    double gaussian();

private:
    std::uint64_t s_[4];
    bool hasSpare_ = false;
    double spare_ = 0;
};

// Standard deviations of the sensors' noise; sim/README.md gives the reason
// for each number.
struct NoiseModel {
    double distanceRel = 0.01;   // vision distance, relative to the distance
    double angleDeg = 0.1;       // vision, both angles, degrees
    double cameraTiltDeg = 0.3;  // camera mounting: each axis, once per robot
    double cameraShift = 0.005;  // camera mounting: each axis, metres, once per robot
    double gyroDegPerSec = 0.2;  // each axis
    double accMps2 = 0.05;       // each axis
    double jointDeg = 0.1;       // each joint angle
};

// The noise of one robot's sensors. Its calibration (how its camera sits in
// the head) is drawn once, when it is made; the measurement noise comes from
// its own stream, so that it depends only on the run's seed, the robot's
// side and number, and its own readings.
class SensorNoise {
public:
    SensorNoise(const NoiseModel& model, std::uint64_t seed, int side, int unum);

    // The true camera pose (position, axes as columns forward, left, up) is
    // turned into the one the robot's camera actually has.
    void mountCamera(Vec3& pos, Mat3& axes) const;
    // Noise of one observation: distance (m) and angles (degrees).
    void observe(double& d, double& theta, double& phi);
    Vec3 gyro(const Vec3& degPerSec);
    Vec3 acc(const Vec3& mps2);
    double joint(double deg);

    // The camera's mounting, in the camera frame (forward, left, up).
    const Mat3& cameraTilt() const { return tilt_; }
    const Vec3& cameraShift() const { return shift_; }

private:
    Vec3 noisy(const Vec3& v, double sigma);

    NoiseModel model_;
    Rng rng_;
    Mat3 tilt_;
    Vec3 shift_;
};

}  // namespace tovrasim

#endif
