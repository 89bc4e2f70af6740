#ifndef TOVRA_RCSSNET_HANDLER_H
#define TOVRA_RCSSNET_HANDLER_H

namespace rcss {
namespace net {

// The process-wide network handler; sockets and addresses keep a reference.
class Handler {
public:
    static Handler& instance();

    bool m_valid;

private:
    Handler();
    Handler(const Handler&) = delete;
    Handler& operator=(const Handler&) = delete;
};

}  // namespace net
}  // namespace rcss

#endif
