#include "spark/rcssnet/socket.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace rcss {
namespace net {

namespace {

void closeDescriptor(Socket::SocketDesc* fd) {
    if (*fd != Socket::INVALIDSOCKET)
        ::close(*fd);
    delete fd;
}

boost::shared_ptr<Socket::SocketDesc> holdDescriptor(Socket::SocketDesc fd) {
    return boost::shared_ptr<Socket::SocketDesc>(new Socket::SocketDesc(fd), closeDescriptor);
}

}  // namespace

const Socket::SocketDesc Socket::INVALIDSOCKET = -1;

Socket::Socket() : m_handler(Handler::instance()) {}

Socket::Socket(SocketDesc fd) : m_handler(Handler::instance()), m_handle(holdDescriptor(fd)) {}

Socket::~Socket() {}

bool Socket::open() {
    SocketDesc fd = INVALIDSOCKET;
    if (!doOpen(fd) || fd == INVALIDSOCKET)
        return false;
    m_handle = holdDescriptor(fd);
    if (fcntl(fd, F_SETFD, FD_CLOEXEC) == -1) {
        close();
        return false;
    }
    return true;
}

bool Socket::bind(const Addr& addr) {
    if (!isOpen())
        return false;
    return ::bind(getFD(), reinterpret_cast<const struct sockaddr*>(&addr.getAddr()),
                  sizeof(addr.getAddr())) == 0;
}

bool Socket::connect(const Addr& addr) {
    if (!isOpen())
        return false;
    return ::connect(getFD(), reinterpret_cast<const struct sockaddr*>(&addr.getAddr()),
                     sizeof(addr.getAddr())) == 0;
}

void Socket::close() {
    m_handle.reset();
}

bool Socket::isOpen() const {
    return m_handle && *m_handle != INVALIDSOCKET;
}

Socket::SocketDesc Socket::getFD() const {
    return isOpen() ? *m_handle : INVALIDSOCKET;
}

int Socket::send(const char* msg, size_t len, int flags, CheckingType check) {
    if (!isOpen()) {
        errno = EBADF;
        return -1;
    }
    if (check == DONT_CHECK)
        return static_cast<int>(::send(getFD(), msg, len, flags));

    size_t total = 0;
    while (total < len) {
        ssize_t sent = ::send(getFD(), msg + total, len - total, flags);
        if (sent < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return -1;
        }
        total += static_cast<size_t>(sent);
    }
    return static_cast<int>(total);
}

int Socket::recv(char* buf, size_t len, int flags, CheckingType check) {
    if (!isOpen()) {
        errno = EBADF;
        return -1;
    }
    for (;;) {
        ssize_t got = ::recv(getFD(), buf, len, flags);
        if (got < 0 && errno == EINTR && check == CHECK)
            continue;
        return static_cast<int>(got);
    }
}

}  // namespace net
}  // namespace rcss
