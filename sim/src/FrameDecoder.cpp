#include "FrameDecoder.h"

namespace tovrasim {

namespace {
uint32_t readLength(const char* p) {
    const unsigned char* u = reinterpret_cast<const unsigned char*>(p);
    return (uint32_t(u[0]) << 24) | (uint32_t(u[1]) << 16) | (uint32_t(u[2]) << 8) | uint32_t(u[3]);
}
}  // namespace

bool FrameDecoder::feed(const char* data, size_t n) {
    if (mFailed)
        return false;
    // Drop consumed bytes before growing the buffer.
    if (mPos > 0 && mPos * 2 >= mBuf.size()) {
        mBuf.erase(0, mPos);
        mPos = 0;
    }
    mBuf.append(data, n);
    if (buffered() >= 4) {
        const uint32_t len = readLength(mBuf.data() + mPos);
        if (len > mMaxBody) {
            mFailed = true;
            mBadLength = len;
            return false;
        }
    }
    return true;
}

bool FrameDecoder::next(std::string& body) {
    if (mFailed || buffered() < 4)
        return false;
    const uint32_t len = readLength(mBuf.data() + mPos);
    if (len > mMaxBody) {
        mFailed = true;
        mBadLength = len;
        return false;
    }
    if (buffered() < 4 + static_cast<size_t>(len))
        return false;
    body.assign(mBuf, mPos + 4, len);
    mPos += 4 + len;
    if (mPos == mBuf.size()) {
        mBuf.clear();
        mPos = 0;
    } else if (buffered() >= 4 && readLength(mBuf.data() + mPos) > mMaxBody) {
        mFailed = true;
        mBadLength = readLength(mBuf.data() + mPos);
    }
    return true;
}

std::string FrameDecoder::encode(const std::string& body) {
    std::string out;
    out.reserve(body.size() + 4);
    const uint32_t n = static_cast<uint32_t>(body.size());
    out.push_back(static_cast<char>((n >> 24) & 0xff));
    out.push_back(static_cast<char>((n >> 16) & 0xff));
    out.push_back(static_cast<char>((n >> 8) & 0xff));
    out.push_back(static_cast<char>(n & 0xff));
    out += body;
    return out;
}

}  // namespace tovrasim
