#ifndef TOVRA_RCSSNET_UDPSOCKET_H
#define TOVRA_RCSSNET_UDPSOCKET_H

#include "spark/rcssnet/socket.h"

namespace rcss {
namespace net {

// A datagram socket over IPv4; the default constructor opens it at once.
class UDPSocket : public Socket {
public:
    UDPSocket();
    explicit UDPSocket(const Addr& addr);
    UDPSocket(const Addr& addr, const Addr& dest);

protected:
    bool doOpen(SocketDesc& fd) override;
};

}  // namespace net
}  // namespace rcss

#endif
