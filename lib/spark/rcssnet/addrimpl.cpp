#include "spark/rcssnet/addrimpl.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <cstring>

#include "spark/rcssnet/exception.h"

namespace rcss {
namespace net {

AddrImpl::AddrImpl(Addr::PortType port, Addr::HostType host)
    : m_handler(Handler::instance()), m_error(Addr::eADDR_OK), m_errno(0) {
    std::memset(&m_addr, 0, sizeof(m_addr));
    m_addr.sin_family = AF_INET;
    m_addr.sin_addr.s_addr = htonl(host);
    setPort(port);
}

AddrImpl::AddrImpl(Addr::PortType port, const std::string& host)
    : m_handler(Handler::instance()), m_host_name(host), m_error(Addr::eADDR_OK), m_errno(0) {
    std::memset(&m_addr, 0, sizeof(m_addr));
    m_addr.sin_family = AF_INET;
    setPort(port);

    struct hostent* entry = gethostbyname(host.c_str());
    if (entry == nullptr || entry->h_addrtype != AF_INET || entry->h_addr_list[0] == nullptr ||
        entry->h_length != static_cast<int>(sizeof(m_addr.sin_addr))) {
        m_error = Addr::eHOST_NOT_FOUND;
        m_errno = h_errno;
        throw HostNotFound(m_errno);
    }
    std::memcpy(&m_addr.sin_addr, entry->h_addr_list[0], sizeof(m_addr.sin_addr));
}

AddrImpl::AddrImpl(const Addr::AddrType& addr)
    : m_handler(Handler::instance()), m_addr(addr), m_error(Addr::eADDR_OK), m_errno(0) {}

void AddrImpl::setPort(Addr::PortType port) {
    m_addr.sin_port = htons(port);
    m_port_name = std::to_string(port);
}

}  // namespace net
}  // namespace rcss
