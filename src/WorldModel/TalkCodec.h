#ifndef TOVRA_WORLDMODEL_TALKCODEC_H
#define TOVRA_WORLDMODEL_TALKCODEC_H

#include <cstddef>
#include <string>

// The number forms of the team talk messages. Every number is written as one
// or more digits 0..99 of the talk alphabet (Types::encodeDigit), one byte
// each, in place into a message at a given position.
//
// - Coordinate, two digits: integer part (plus 50 when negative) and
//   hundredths, rounded; -49.99..49.99 m.
// - Time stamp, three digits: hundreds, the rest below 100 and hundredths;
//   0..9999.99 s.
// - Distance, two digits: integer part and truncated hundredths; 0..99.99 m.
//
// Values outside a form's range are clamped to it (NaN reads as 0). Writes
// and reads beyond the end of the message are skipped; a missing byte reads
// as digit 0, like a byte outside the alphabet.
class TalkCodec {
public:
    static const std::size_t kMessageLength = 17;
    static const std::size_t kBallDistanceLength = 8;
    static const std::size_t kHeaderLength = 3;

    static const double kMaxCoordinate;
    static const double kMaxTime;
    static const double kMaxDistance;

    static void encodeCoordinate(double value, std::string& message, std::size_t pos);
    static double decodeCoordinate(const std::string& message, std::size_t pos);
    static void encodeTime(double time, std::string& message, std::size_t pos);
    static double decodeTime(const std::string& message, std::size_t pos);
    static void encodeDistance(double distance, std::string& message, std::size_t pos);
    static double decodeDistance(const std::string& message, std::size_t pos);

    // One digit at pos; nothing is written beyond the end.
    static void putDigit(int digit, std::string& message, std::size_t pos);
    // The digit at pos; 0 beyond the end.
    static int getDigit(const std::string& message, std::size_t pos);
};

#endif
