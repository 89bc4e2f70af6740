#include "WorldModel/TalkCodec.h"

#include <cmath>

#include "WorldModel/Types.h"

const double TalkCodec::kMaxCoordinate = 49.99;
const double TalkCodec::kMaxTime = 9999.99;
const double TalkCodec::kMaxDistance = 99.99;

namespace {

// The digit that marks a negative coordinate's integer part.
const int kNegative = 50;

double clamp(double value, double low, double high) {
    if (std::isnan(value)) {
        return 0;
    }
    return value < low ? low : (value > high ? high : value);
}

}  // namespace

void TalkCodec::putDigit(int digit, std::string& message, std::size_t pos) {
    if (pos < message.size()) {
        message[pos] = Types::encodeDigit(digit);
    }
}

int TalkCodec::getDigit(const std::string& message, std::size_t pos) {
    return pos < message.size() ? Types::decodeDigit(message[pos]) : 0;
}

void TalkCodec::encodeCoordinate(double value, std::string& message, std::size_t pos) {
    value = clamp(value, -kMaxCoordinate, kMaxCoordinate);
    const double magnitude = std::fabs(value);
    int whole = static_cast<int>(std::floor(magnitude));
    int hundredths = static_cast<int>(std::floor(100 * (magnitude - whole) + 0.5));
    // 0.995 and above rounds up to the next whole metre; the clamp keeps the
    // result below the negative mark.
    if (hundredths >= 100) {
        hundredths -= 100;
        ++whole;
    }
    putDigit(value < 0 ? whole + kNegative : whole, message, pos);
    putDigit(hundredths, message, pos + 1);
}

double TalkCodec::decodeCoordinate(const std::string& message, std::size_t pos) {
    const int whole = getDigit(message, pos);
    const double hundredths = getDigit(message, pos + 1) / 100.0;
    if (whole < kNegative) {
        return whole + hundredths;
    }
    return -((whole - kNegative) + hundredths);
}

void TalkCodec::encodeTime(double time, std::string& message, std::size_t pos) {
    const double t = clamp(time, 0, kMaxTime) + 0.001;
    const int hundreds = static_cast<int>(std::floor(t / 100));
    const int rest = static_cast<int>(std::floor(t - 100.0 * hundreds));
    const int hundredths = static_cast<int>(std::floor((t - 100.0 * hundreds - rest) * 100));
    putDigit(hundreds, message, pos);
    putDigit(rest, message, pos + 1);
    putDigit(hundredths, message, pos + 2);
}

double TalkCodec::decodeTime(const std::string& message, std::size_t pos) {
    return 100.0 * getDigit(message, pos) + getDigit(message, pos + 1) +
           getDigit(message, pos + 2) / 100.0;
}

void TalkCodec::encodeDistance(double distance, std::string& message, std::size_t pos) {
    // The hundredths are cut; the small allowance keeps a distance given in
    // hundredths (1.23 is stored as 1.2299999...) from losing one.
    const double d = clamp(distance, 0, kMaxDistance) + 1e-6;
    const int whole = static_cast<int>(std::floor(d));
    int hundredths = static_cast<int>(std::floor((d - whole) * 100));
    if (hundredths > 99) {
        hundredths = 99;
    }
    putDigit(whole, message, pos);
    putDigit(hundredths, message, pos + 1);
}

double TalkCodec::decodeDistance(const std::string& message, std::size_t pos) {
    return getDigit(message, pos) + getDigit(message, pos + 1) / 100.0;
}
