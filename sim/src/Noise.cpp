#include "Noise.h"

#include <cmath>

namespace tovrasim {

namespace {

std::uint64_t rotl(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

// a * b for rotations stored row-major.
Mat3 times(const Mat3& a, const Mat3& b) {
    Mat3 out;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            out.m[3 * r + c] =
                a.m[3 * r] * b.m[c] + a.m[3 * r + 1] * b.m[3 + c] + a.m[3 * r + 2] * b.m[6 + c];
        }
    }
    return out;
}

// Rotation by `deg` about coordinate axis `axis` (0 x, 1 y, 2 z).
Mat3 about(int axis, double deg) {
    const double c = std::cos(deg2rad(deg)), s = std::sin(deg2rad(deg));
    const int i = (axis + 1) % 3, j = (axis + 2) % 3;
    Mat3 r;
    r.m[3 * i + i] = c;
    r.m[3 * i + j] = -s;
    r.m[3 * j + i] = s;
    r.m[3 * j + j] = c;
    return r;
}

// Stream keys of one robot.
enum Stream : std::uint64_t { kCalibration = 0, kMeasurement = 1 };

std::uint64_t robotKey(int side, int unum, Stream s) {
    return ((static_cast<std::uint64_t>(side) << 8 | static_cast<std::uint64_t>(unum)) << 4) | s;
}

}  // namespace

std::uint64_t splitmix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t streamSeed(std::uint64_t seed, std::uint64_t key) {
    std::uint64_t s = seed;
    const std::uint64_t mixedSeed = splitmix64(s);
    std::uint64_t k = key ^ 0x6A09E667F3BCC909ull;
    return mixedSeed ^ splitmix64(k);
}

Rng::Rng(std::uint64_t seed) {
    for (std::uint64_t& w : s_)
        w = splitmix64(seed);
}

std::uint64_t Rng::next() {
    const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotl(s_[3], 45);
    return result;
}

double Rng::uniform() {
    // The top 53 bits, as a multiple of 2^-53 in (0, 1].
    return static_cast<double>((next() >> 11) + 1) * 0x1.0p-53;
}

double Rng::gaussian() {
    if (hasSpare_) {
        hasSpare_ = false;
        return spare_;
    }
    const double r = std::sqrt(-2.0 * std::log(uniform()));
    const double a = 2.0 * kPi * uniform();
    spare_ = r * std::sin(a);
    hasSpare_ = true;
    return r * std::cos(a);
}

SensorNoise::SensorNoise(const NoiseModel& model, std::uint64_t seed, int side, int unum)
    : model_(model), rng_(streamSeed(seed, robotKey(side, unum, kMeasurement))) {
    Rng cal(streamSeed(seed, robotKey(side, unum, kCalibration)));
    const double roll = model.cameraTiltDeg * cal.gaussian();
    const double pitch = model.cameraTiltDeg * cal.gaussian();
    const double yaw = model.cameraTiltDeg * cal.gaussian();
    // Camera frame: x forward, y left, z up; yaw about z, pitch about y, roll about x.
    tilt_ = times(times(about(2, yaw), about(1, pitch)), about(0, roll));
    const double sx = model.cameraShift * cal.gaussian();
    const double sy = model.cameraShift * cal.gaussian();
    shift_ = {sx, sy, model.cameraShift * cal.gaussian()};
}

void SensorNoise::mountCamera(Vec3& pos, Mat3& axes) const {
    pos = pos + axes * shift_;
    axes = times(axes, tilt_);
}

void SensorNoise::observe(double& d, double& theta, double& phi) {
    d *= 1.0 + model_.distanceRel * rng_.gaussian();
    theta += model_.angleDeg * rng_.gaussian();
    phi += model_.angleDeg * rng_.gaussian();
}

Vec3 SensorNoise::noisy(const Vec3& v, double sigma) {
    const double x = v.x + sigma * rng_.gaussian();
    const double y = v.y + sigma * rng_.gaussian();
    return {x, y, v.z + sigma * rng_.gaussian()};
}

Vec3 SensorNoise::gyro(const Vec3& degPerSec) {
    return noisy(degPerSec, model_.gyroDegPerSec);
}

Vec3 SensorNoise::acc(const Vec3& mps2) {
    return noisy(mps2, model_.accMps2);
}

double SensorNoise::joint(double deg) {
    return deg + model_.jointDeg * rng_.gaussian();
}

}  // namespace tovrasim
