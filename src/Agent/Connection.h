#ifndef TOVRA_AGENT_CONNECTION_H
#define TOVRA_AGENT_CONNECTION_H

#include <string>

#include "spark/rcssnet/tcpsocket.h"

// The one TCP connection to the simulation server. Both directions carry a
// 4-byte big-endian body length followed by the body text.
class Connection {
public:
    // Largest message the agent reads: prefix plus body.
    static constexpr unsigned int BufferSize = 16384;
    static constexpr unsigned int MaxBodyLength = BufferSize - 4;

    static Connection* instance();
    static void deleteT();

    void setServer(std::string host) { mHost = host; }
    void setPort(int port) { mPort = port; }
    const std::string& getServer() const { return mHost; }
    int getPort() const { return mPort; }

    // Binds to any local address and connects; false (socket closed) on failure.
    bool init();
    // Frames and sends one message; an empty message sends nothing and fails.
    bool sendMessage(const std::string& msg);
    // Waits for one whole message and stores its body. A message longer than
    // the buffer is reported, read and dropped, and the wait goes on. False
    // when the connection is (or becomes) closed or broken.
    bool getMessage(std::string& msg);
    // Waits without time limit until the socket is readable.
    bool selectInput();
    // Closes the socket and reports it.
    void done();

    bool isOpen() const { return mSocket.isOpen(); }

private:
    Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Reads exactly len bytes into buf in pieces; false (reported) on failure.
    bool readBody(char* buf, unsigned int len);
    void reportReadError();

    rcss::net::TCPSocket mSocket;
    std::string mHost;
    int mPort;

    static Connection* handleT;
};

#endif
