#include "support/TestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace tovra::test {

TestServer::TestServer() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listenFd_ < 0)
        throw std::runtime_error("test server: socket failed");
    int one = 1;
    setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 ||
        ::listen(listenFd_, 4) != 0) {
        ::close(listenFd_);
        throw std::runtime_error("test server: bind/listen failed");
    }
    socklen_t len = sizeof(addr);
    getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
}

TestServer::~TestServer() {
    closeClient();
    if (listenFd_ >= 0)
        ::close(listenFd_);
}

bool TestServer::accept(int timeoutMs) {
    pollfd pfd{listenFd_, POLLIN, 0};
    if (poll(&pfd, 1, timeoutMs) <= 0)
        return false;
    clientFd_ = ::accept(listenFd_, nullptr, nullptr);
    applyAckMode();
    return clientFd_ >= 0;
}

std::string TestServer::prefix(std::uint32_t length) {
    std::uint32_t net = htonl(length);
    return std::string(reinterpret_cast<const char*>(&net), sizeof(net));
}

std::string TestServer::frame(const std::string& body) {
    return prefix(static_cast<std::uint32_t>(body.size())) + body;
}

bool TestServer::sendRaw(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(clientFd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void TestServer::applyAckMode() {
    if (clientFd_ < 0 || !delayedAck_)
        return;
    int zero = 0;
    setsockopt(clientFd_, IPPROTO_TCP, TCP_QUICKACK, &zero, sizeof(zero));
}

bool TestServer::waitReadable(int timeoutMs) {
    pollfd pfd{clientFd_, POLLIN, 0};
    return poll(&pfd, 1, timeoutMs) > 0;
}

bool TestServer::receiveRaw(std::string& bytes, std::size_t count, int timeoutMs) {
    bytes.clear();
    char buf[4096];
    while (bytes.size() < count) {
        if (!waitReadable(timeoutMs))
            return false;
        std::size_t want = std::min(sizeof(buf), count - bytes.size());
        ssize_t n = ::recv(clientFd_, buf, want, 0);
        applyAckMode();
        if (n <= 0)
            return false;
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    return true;
}

bool TestServer::receiveFrame(std::string& body, int timeoutMs) {
    std::string head;
    if (!receiveRaw(head, 4, timeoutMs))
        return false;
    std::uint32_t net;
    std::memcpy(&net, head.data(), sizeof(net));
    return receiveRaw(body, ntohl(net), timeoutMs);
}

bool TestServer::silentFor(int timeoutMs) {
    return !waitReadable(timeoutMs);
}

bool TestServer::waitForClose(int timeoutMs) {
    char buf[256];
    for (;;) {
        if (!waitReadable(timeoutMs))
            return false;
        ssize_t n = ::recv(clientFd_, buf, sizeof(buf), 0);
        if (n <= 0)
            return true;
    }
}

void TestServer::closeClient() {
    if (clientFd_ >= 0)
        ::close(clientFd_);
    clientFd_ = -1;
}

}  // namespace tovra::test
