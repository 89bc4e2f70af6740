#include "spark/rcssnet/exception.h"

#include <cstring>

namespace rcss {
namespace net {

NetError::NetError(int err) throw() : m_err(err) {}

const char* NetError::what() const throw() {
    return std::strerror(m_err);
}

}  // namespace net
}  // namespace rcss
