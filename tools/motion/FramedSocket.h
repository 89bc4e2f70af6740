#ifndef TOVRA_TOOLS_MOTION_FRAMEDSOCKET_H
#define TOVRA_TOOLS_MOTION_FRAMEDSOCKET_H

#include <string>

namespace tovra::motion {

// A blocking TCP client on 127.0.0.1 that speaks the server's framing: a
// 4-byte big-endian body length, then the body. Every wait has a time limit
// so that a stalled or vanished peer ends a run instead of hanging it.
class FramedSocket {
public:
    FramedSocket() = default;
    ~FramedSocket();
    FramedSocket(const FramedSocket&) = delete;
    FramedSocket& operator=(const FramedSocket&) = delete;

    // Connects to 127.0.0.1:port; false on failure.
    bool connectTo(int port);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    // Sends one framed message; false when the connection is broken.
    bool send(const std::string& body);
    // Waits up to timeoutMs for one whole message; false on timeout, on a
    // closed connection or on a length above maxLength.
    bool receive(std::string& body, int timeoutMs, unsigned maxLength = 1u << 20);
    // send followed by receive.
    bool request(const std::string& body, std::string& reply, int timeoutMs);

private:
    bool readExactly(char* out, std::size_t count, int timeoutMs);

    int fd_ = -1;
};

}  // namespace tovra::motion

#endif
