#ifndef TOVRA_RCSSNET_EXCEPTION_H
#define TOVRA_RCSSNET_EXCEPTION_H

#include <exception>

namespace rcss {
namespace net {

// Base of the network failures: carries the error number and answers what()
// with the system's text for it.
class NetError : public std::exception {
public:
    explicit NetError(int err) throw();
    const char* what() const throw() override;
    int err() const throw() { return m_err; }

private:
    int m_err;
};

class HostNotFound : public NetError {
public:
    explicit HostNotFound(int err) throw() : NetError(err) {}
};

class OpenErr : public NetError {
public:
    explicit OpenErr(int err) throw() : NetError(err) {}
};

class BindErr : public NetError {
public:
    explicit BindErr(int err) throw() : NetError(err) {}
};

class ListenErr : public NetError {
public:
    explicit ListenErr(int err) throw() : NetError(err) {}
};

class AcceptErr : public NetError {
public:
    explicit AcceptErr(int err) throw() : NetError(err) {}
};

class GetNameErr : public NetError {
public:
    explicit GetNameErr(int err) throw() : NetError(err) {}
};

class ConnectErr : public NetError {
public:
    explicit ConnectErr(int err) throw() : NetError(err) {}
};

}  // namespace net
}  // namespace rcss

#endif
