// Length-prefixed framing: a 4-byte big-endian body length, then the body.
#ifndef TOVRA_SIM_FRAMEDECODER_H
#define TOVRA_SIM_FRAMEDECODER_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace tovrasim {

class FrameDecoder {
public:
    explicit FrameDecoder(size_t maxBody = 65536) : mMaxBody(maxBody) {}

    // Appends received bytes. Returns false once a length prefix above the
    // limit has been seen; the stream cannot be resynchronised after that.
    bool feed(const char* data, size_t n);
    // Takes the next complete body, if any.
    bool next(std::string& body);
    bool failed() const { return mFailed; }
    uint32_t badLength() const { return mBadLength; }
    size_t buffered() const { return mBuf.size() - mPos; }

    static std::string encode(const std::string& body);

private:
    size_t mMaxBody;
    std::string mBuf;
    size_t mPos = 0;
    bool mFailed = false;
    uint32_t mBadLength = 0;
};

}  // namespace tovrasim

#endif
