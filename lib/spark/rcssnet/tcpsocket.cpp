#include "spark/rcssnet/tcpsocket.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace rcss {
namespace net {

TCPSocket::TCPSocket() {
    open();
}

TCPSocket::TCPSocket(const Addr& addr) {
    open();
    bind(addr);
}

TCPSocket::TCPSocket(const Addr& addr, const Addr& dest) {
    open();
    bind(addr);
    connect(dest);
}

bool TCPSocket::setNoDelay(bool on) {
    if (!isOpen())
        return false;
    int flag = on ? 1 : 0;
    return setsockopt(getFD(), IPPROTO_TCP, TCP_NODELAY, &flag, sizeof(flag)) == 0;
}

bool TCPSocket::doOpen(SocketDesc& fd) {
    close();
    fd = ::socket(AF_INET, SOCK_STREAM, 6);
    return fd != INVALIDSOCKET;
}

}  // namespace net
}  // namespace rcss
