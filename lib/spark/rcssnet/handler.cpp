#include "spark/rcssnet/handler.h"

namespace rcss {
namespace net {

Handler::Handler() : m_valid(true) {}

Handler& Handler::instance() {
    static Handler handler;
    return handler;
}

}  // namespace net
}  // namespace rcss
