#include "Agent/Connection.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/select.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>

using rcss::net::Addr;

Connection* Connection::handleT = nullptr;

namespace {
// Prefix and body of the message being read, plus room for a terminating NUL.
char gBuffer[Connection::BufferSize + 1];
}  // namespace

Connection::Connection() : mHost("127.0.0.1"), mPort(3100) {}

Connection* Connection::instance() {
    if (handleT == nullptr)
        handleT = new Connection();
    return handleT;
}

void Connection::deleteT() {
    delete handleT;
    handleT = nullptr;
}

bool Connection::init() {
    if (!mSocket.bind(Addr(0, Addr::ANY))) {
        std::cerr << "failed to bind socket with '" << std::strerror(errno) << "'" << std::endl;
        mSocket.close();
        return false;
    }

    Addr server(static_cast<Addr::PortType>(mPort), mHost);

    if (!mSocket.connect(server)) {
        std::cerr << "connection failed with: '" << std::strerror(errno) << "'" << std::endl;
        mSocket.close();
        return false;
    }
    // The reply goes out as two writes (prefix, body); without this the body
    // would wait for the server's delayed acknowledgement of the prefix.
    mSocket.setNoDelay(true);
    return true;
}

bool Connection::sendMessage(const std::string& msg) {
    if (msg.empty())
        return false;

    unsigned int len = htonl(static_cast<unsigned int>(msg.size()));
    mSocket.send(reinterpret_cast<const char*>(&len), sizeof(len), MSG_NOSIGNAL, rcss::net::CHECK);
    int sent = mSocket.send(msg.data(), msg.size(), MSG_NOSIGNAL, rcss::net::CHECK);
    if (sent < 0) {
        std::cerr << "(sendMessage) ERROR: "
                  << " send returned error '" << std::strerror(errno) << "' " << std::endl;
        return false;
    }
    return true;
}

void Connection::reportReadError() {
    std::cerr << "(getMessage) ERROR: "
              << " read returned errors '" << std::strerror(errno) << "' " << std::endl;
}

bool Connection::readBody(char* buf, unsigned int len) {
    unsigned int msgRead = 0;
    while (msgRead < len) {
        if (!selectInput()) {
            // The rest of the body is still in the stream: the framing is
            // lost, so the connection cannot be used any more.
            mSocket.close();
            return false;
        }
        int n = mSocket.recv(buf + msgRead, len - msgRead, 0, rcss::net::CHECK);
        if (n <= 0) {
            reportReadError();
            mSocket.close();
            return false;
        }
        msgRead += static_cast<unsigned int>(n);
    }
    return true;
}

bool Connection::getMessage(std::string& msg) {
    if (!mSocket.isOpen())
        return false;

    for (;;) {
        unsigned int bytesRead = 0;
        while (bytesRead < 4) {
            selectInput();
            int n = mSocket.recv(gBuffer + bytesRead, 4 - bytesRead, 0, rcss::net::CHECK);
            if (n <= 0) {
                done();
                return false;
            }
            bytesRead += static_cast<unsigned int>(n);
        }

        unsigned int netLen;
        std::memcpy(&netLen, gBuffer, sizeof(netLen));
        unsigned int msgLen = ntohl(netLen);

        if (msgLen <= MaxBodyLength) {
            char* body = gBuffer + 4;
            if (!readBody(body, msgLen))
                return false;
            body[msgLen] = '\0';
            msg.assign(body, std::strlen(body));
            return true;
        }

        // Too long for the buffer: drop the body piece by piece through the
        // same buffer so that the next prefix is read where it starts.
        std::cerr << "too long message; skipped" << std::endl;
        unsigned int left = msgLen;
        while (left > 0) {
            unsigned int piece = std::min(left, MaxBodyLength);
            if (!readBody(gBuffer + 4, piece))
                return false;
            left -= piece;
        }
    }
}

bool Connection::selectInput() {
    int fd = mSocket.getFD();
    if (fd < 0)
        return false;
    if (fd < FD_SETSIZE) {
        fd_set readfds;
        FD_ZERO(&readfds);
        FD_SET(fd, &readfds);
        return select(fd + 1, &readfds, nullptr, nullptr, nullptr) > 0;
    }
    // A descriptor beyond what a select set can hold: wait on it with poll.
    struct pollfd pfd = {fd, POLLIN, 0};
    return poll(&pfd, 1, -1) > 0;
}

void Connection::done() {
    mSocket.close();
    std::cout << "closed connection to " << mHost << ":" << mPort << "\n";
}
