// A small scripted server for trying the agent by hand: accepts one agent,
// sends it a fixed sequence of perceptor messages one simulation step apart
// and prints the exchange in both directions.
//
//   tovra-scripted-server [--port P] [--steps N]

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

namespace {

bool sendFrame(int fd, const std::string& body) {
    std::uint32_t len = htonl(static_cast<std::uint32_t>(body.size()));
    std::string bytes(reinterpret_cast<const char*>(&len), 4);
    bytes += body;
    return send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

bool readExactly(int fd, char* buf, std::size_t count, int timeoutMs) {
    std::size_t got = 0;
    while (got < count) {
        pollfd pfd{fd, POLLIN, 0};
        if (poll(&pfd, 1, timeoutMs) <= 0)
            return false;
        ssize_t n = recv(fd, buf + got, count - got, 0);
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

// Reads every frame that arrives within timeoutMs; false once the agent is gone.
bool printReplies(int fd, int timeoutMs) {
    for (;;) {
        pollfd pfd{fd, POLLIN, 0};
        if (poll(&pfd, 1, timeoutMs) <= 0)
            return true;
        char head[4];
        if (!readExactly(fd, head, 4, 1000))
            return false;
        std::uint32_t len;
        std::memcpy(&len, head, 4);
        len = ntohl(len);
        if (len > (1u << 20))
            return false;
        std::string body(len, '\0');
        if (!readExactly(fd, body.data(), len, 1000))
            return false;
        std::cout << "<- " << body << std::endl;
        timeoutMs = 0;
    }
}

std::string perceptorMessage(int step) {
    double t = step * 0.02;
    std::ostringstream msg;
    msg << std::fixed << std::setprecision(2) << "(time (now " << 100.0 + t << "))"
        << "(GS (unum 1) (team left) (t " << t << ") (pm BeforeKickOff))"
        << "(GYR (n torso) (rt 0.00 0.00 0.00))(ACC (n torso) (a 0.00 0.00 9.81))"
        << "(HJ (n hj1) (ax 0.00))(HJ (n hj2) (ax 0.00))"
        << "(FRP (n lf) (c 0.00 0.00 -0.01) (f 0.00 0.00 22.50))"
        << "(FRP (n rf) (c 0.00 0.00 -0.01) (f 0.00 0.00 22.50))";
    if (step % 3 == 0) {
        msg << "(See (G1L (pol 15.10 -4.20 -1.80)) (G2L (pol 15.20 3.80 -1.80))"
            << " (B (pol 0.80 0.00 -25.00)))";
    }
    return msg.str();
}

}  // namespace

int main(int argc, char** argv) {
    int port = 3100;
    int steps = 10;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--port") == 0)
            port = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--steps") == 0)
            steps = std::atoi(argv[i + 1]);
    }

    int listenFd = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    if (bind(listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 ||
        listen(listenFd, 1) != 0) {
        std::cerr << "scripted server: cannot listen on port " << port << ": "
                  << std::strerror(errno) << std::endl;
        return 1;
    }
    std::cout << "scripted server listening on 127.0.0.1:" << port << std::endl;

    pollfd pfd{listenFd, POLLIN, 0};
    if (poll(&pfd, 1, 10000) <= 0) {
        std::cerr << "scripted server: no agent connected" << std::endl;
        return 1;
    }
    int fd = accept(listenFd, nullptr, nullptr);
    printReplies(fd, 1000);

    for (int step = 0; step < steps; ++step) {
        std::string msg = perceptorMessage(step);
        std::cout << "-> " << msg << std::endl;
        if (!sendFrame(fd, msg) || !printReplies(fd, 20))
            break;
    }
    close(fd);
    close(listenFd);
    std::cout << "scripted server: done after " << steps << " steps" << std::endl;
    return 0;
}
