#ifndef TOVRA_RCSSNET_ADDRIMPL_H
#define TOVRA_RCSSNET_ADDRIMPL_H

#include <netinet/in.h>

#include <string>

#include "spark/rcssnet/addr.h"
#include "spark/rcssnet/handler.h"

namespace rcss {
namespace net {

// The shared state behind an Addr.
class AddrImpl {
public:
    AddrImpl(Addr::PortType port, Addr::HostType host);
    AddrImpl(Addr::PortType port, const std::string& host);
    explicit AddrImpl(const Addr::AddrType& addr);

    Handler& m_handler;
    Addr::AddrType m_addr;
    std::string m_host_name;
    std::string m_port_name;
    Addr::Error m_error;
    int m_errno;

private:
    void setPort(Addr::PortType port);
};

}  // namespace net
}  // namespace rcss

#endif
