#ifndef TOVRA_TESTS_SUPPORT_TESTSERVER_H
#define TOVRA_TESTS_SUPPORT_TESTSERVER_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace tovra::test {

// A scripted stand-in for the simulation server: listens on an ephemeral
// loopback port, accepts one client, sends framed (or deliberately broken)
// messages and collects the client's frames with a timeout.
class TestServer {
public:
    TestServer();
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    int port() const { return port_; }

    // Waits for the client to connect.
    bool accept(int timeoutMs = 5000);

    // A 4-byte big-endian length prefix followed by the body.
    static std::string frame(const std::string& body);
    static std::string prefix(std::uint32_t length);

    bool sendRaw(const std::string& bytes);
    bool sendFrame(const std::string& body) { return sendRaw(frame(body)); }

    // Reads exactly count bytes; false on timeout or close.
    bool receiveRaw(std::string& bytes, std::size_t count, int timeoutMs = 5000);
    // Reads one framed message.
    bool receiveFrame(std::string& body, int timeoutMs = 5000);
    // True when nothing arrives within timeoutMs (and the client did not close).
    bool silentFor(int timeoutMs);
    // True when the client closes its end within timeoutMs.
    bool waitForClose(int timeoutMs = 5000);

    // Stop acknowledging early: every read leaves the kernel in delayed-ACK mode.
    void setDelayedAck(bool delayed) { delayedAck_ = delayed; }

    void closeClient();

private:
    bool waitReadable(int timeoutMs);
    void applyAckMode();

    int listenFd_ = -1;
    int clientFd_ = -1;
    int port_ = 0;
    bool delayedAck_ = false;
};

}  // namespace tovra::test

#endif
