#include "spark/rcssnet/udpsocket.h"

#include <sys/socket.h>

namespace rcss {
namespace net {

UDPSocket::UDPSocket() {
    open();
}

UDPSocket::UDPSocket(const Addr& addr) {
    open();
    bind(addr);
}

UDPSocket::UDPSocket(const Addr& addr, const Addr& dest) {
    open();
    bind(addr);
    connect(dest);
}

bool UDPSocket::doOpen(SocketDesc& fd) {
    close();
    fd = ::socket(AF_INET, SOCK_DGRAM, 17);
    return fd != INVALIDSOCKET;
}

}  // namespace net
}  // namespace rcss
