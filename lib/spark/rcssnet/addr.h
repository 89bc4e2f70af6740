#ifndef TOVRA_RCSSNET_ADDR_H
#define TOVRA_RCSSNET_ADDR_H

#include <netinet/in.h>

#include <boost/shared_ptr.hpp>
#include <string>

namespace rcss {
namespace net {

class AddrImpl;

// An IPv4 socket address (port and host kept in network byte order).
class Addr {
public:
    typedef unsigned short PortType;
    typedef unsigned int HostType;
    typedef struct sockaddr_in AddrType;

    enum Error { eADDR_OK = 0, eSERV_NOT_FOUND = 1, eHOST_NOT_FOUND = 2 };

    static const HostType ANY;
    static const HostType BROADCAST;

    // From host-order numbers.
    explicit Addr(PortType port = 0, HostType host = ANY);
    // Resolves host (a name or a dotted address); throws HostNotFound.
    Addr(PortType port, const std::string& host);
    explicit Addr(const AddrType& addr);

    const AddrType& getAddr() const;
    PortType getPort() const;  // host order
    HostType getHost() const;  // host order
    std::string getHostStr() const;
    std::string getPortStr() const;

    bool operator==(const Addr& other) const;

private:
    boost::shared_ptr<AddrImpl> m_impl;
};

}  // namespace net
}  // namespace rcss

#endif
