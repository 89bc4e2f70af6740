#ifndef TOVRA_RCSSNET_SOCKET_H
#define TOVRA_RCSSNET_SOCKET_H

#include <boost/shared_ptr.hpp>
#include <cstddef>

#include "spark/rcssnet/addr.h"
#include "spark/rcssnet/handler.h"

namespace rcss {
namespace net {

// Whether send/recv retry: CHECK repeats interrupted (and, for send,
// would-block) calls; DONT_CHECK makes one system call.
enum CheckingType { CHECK = 0, DONT_CHECK = 1 };

// A socket descriptor shared between copies; the descriptor is closed when
// the last holder lets go.
class Socket {
public:
    typedef int SocketDesc;
    static const SocketDesc INVALIDSOCKET;

    virtual ~Socket();

    bool open();
    bool bind(const Addr& addr);
    bool connect(const Addr& addr);
    void close();

    bool isOpen() const;
    SocketDesc getFD() const;

    int send(const char* msg, size_t len, int flags = 0, CheckingType check = CHECK);
    int recv(char* buf, size_t len, int flags = 0, CheckingType check = CHECK);

protected:
    Socket();
    explicit Socket(SocketDesc fd);

    virtual bool doOpen(SocketDesc& fd) = 0;

private:
    Handler& m_handler;
    boost::shared_ptr<SocketDesc> m_handle;
};

}  // namespace net
}  // namespace rcss

#endif
