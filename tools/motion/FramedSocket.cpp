#include "FramedSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace tovra::motion {

FramedSocket::~FramedSocket() {
    close();
}

bool FramedSocket::connectTo(int port) {
    close();
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd_ < 0) {
        return false;
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close();
        return false;
    }
    int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return true;
}

void FramedSocket::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool FramedSocket::send(const std::string& body) {
    if (fd_ < 0) {
        return false;
    }
    const std::uint32_t len = htonl(static_cast<std::uint32_t>(body.size()));
    std::string bytes(reinterpret_cast<const char*>(&len), 4);
    bytes += body;
    std::size_t off = 0;
    while (off < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        off += static_cast<std::size_t>(n);
    }
    return true;
}

bool FramedSocket::readExactly(char* out, std::size_t count, int timeoutMs) {
    std::size_t got = 0;
    while (got < count) {
        pollfd pfd{fd_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, timeoutMs);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return false;
        }
        const ssize_t n = ::recv(fd_, out + got, count - got, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool FramedSocket::receive(std::string& body, int timeoutMs, unsigned maxLength) {
    if (fd_ < 0) {
        return false;
    }
    char head[4];
    if (!readExactly(head, 4, timeoutMs)) {
        return false;
    }
    std::uint32_t len = 0;
    std::memcpy(&len, head, 4);
    len = ntohl(len);
    if (len > maxLength) {
        return false;
    }
    body.assign(len, '\0');
    return len == 0 || readExactly(body.data(), len, timeoutMs);
}

bool FramedSocket::request(const std::string& body, std::string& reply, int timeoutMs) {
    return send(body) && receive(reply, timeoutMs);
}

}  // namespace tovra::motion
