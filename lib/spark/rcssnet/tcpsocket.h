#ifndef TOVRA_RCSSNET_TCPSOCKET_H
#define TOVRA_RCSSNET_TCPSOCKET_H

#include "spark/rcssnet/socket.h"

namespace rcss {
namespace net {

// A stream socket over IPv4; the default constructor opens it at once.
class TCPSocket : public Socket {
public:
    TCPSocket();
    explicit TCPSocket(const Addr& addr);
    TCPSocket(const Addr& addr, const Addr& dest);

    // Sends small writes at once instead of coalescing them (no Nagle delay).
    bool setNoDelay(bool on);

protected:
    bool doOpen(SocketDesc& fd) override;
};

}  // namespace net
}  // namespace rcss

#endif
