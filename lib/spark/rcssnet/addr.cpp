#include "spark/rcssnet/addr.h"

#include <arpa/inet.h>

#include "spark/rcssnet/addrimpl.h"

namespace rcss {
namespace net {

const Addr::HostType Addr::ANY = INADDR_ANY;
const Addr::HostType Addr::BROADCAST = INADDR_BROADCAST;

Addr::Addr(PortType port, HostType host) : m_impl(new AddrImpl(port, host)) {}

Addr::Addr(PortType port, const std::string& host) : m_impl(new AddrImpl(port, host)) {}

Addr::Addr(const AddrType& addr) : m_impl(new AddrImpl(addr)) {}

const Addr::AddrType& Addr::getAddr() const {
    return m_impl->m_addr;
}

Addr::PortType Addr::getPort() const {
    return ntohs(m_impl->m_addr.sin_port);
}

Addr::HostType Addr::getHost() const {
    return ntohl(m_impl->m_addr.sin_addr.s_addr);
}

std::string Addr::getHostStr() const {
    if (!m_impl->m_host_name.empty())
        return m_impl->m_host_name;
    char text[INET_ADDRSTRLEN] = {0};
    inet_ntop(AF_INET, &m_impl->m_addr.sin_addr, text, sizeof(text));
    return text;
}

std::string Addr::getPortStr() const {
    return std::to_string(getPort());
}

bool Addr::operator==(const Addr& other) const {
    return getAddr().sin_port == other.getAddr().sin_port &&
           getAddr().sin_addr.s_addr == other.getAddr().sin_addr.s_addr;
}

}  // namespace net
}  // namespace rcss
