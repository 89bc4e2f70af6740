#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "Agent/Connection.h"
#include "spark/rcssnet/exception.h"
#include "support/Capture.h"
#include "support/TestServer.h"

using tovra::test::TestServer;

namespace {

// A fresh connection singleton connected to a fresh scripted server.
class ConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        Connection::deleteT();
        connection = Connection::instance();
        connection->setPort(server.port());
        ASSERT_TRUE(connection->init());
        ASSERT_TRUE(server.accept());
    }
    void TearDown() override { Connection::deleteT(); }

    // Sends the bytes one piece at a time with pauses, while getMessage waits.
    std::string receiveWhileSending(const std::vector<std::string>& pieces) {
        std::thread sender([&] {
            for (const std::string& piece : pieces) {
                server.sendRaw(piece);
                std::this_thread::sleep_for(std::chrono::milliseconds(3));
            }
        });
        std::string msg = "unchanged";
        bool ok = connection->getMessage(msg);
        sender.join();
        EXPECT_TRUE(ok);
        return msg;
    }

    TestServer server;
    Connection* connection = nullptr;
};

TEST_F(ConnectionTest, SceneRequestIsFramedWithBigEndianLength) {
    ASSERT_TRUE(connection->sendMessage("(scene rsg/agent/nao/nao.rsg)"));
    std::string bytes;
    ASSERT_TRUE(server.receiveRaw(bytes, 33));
    EXPECT_EQ(std::string("\x00\x00\x00\x1D", 4) + "(scene rsg/agent/nao/nao.rsg)", bytes);
}

TEST_F(ConnectionTest, EmptyMessageSendsNothing) {
    EXPECT_FALSE(connection->sendMessage(""));
    EXPECT_TRUE(server.silentFor(100));
}

TEST_F(ConnectionTest, PrefixAndBodyArrivingInPiecesAreAssembled) {
    std::string body = "(time (now 12.34))(GS (t 0.00) (pm BeforeKickOff))";
    std::string framed = TestServer::frame(body);
    std::vector<std::string> bytewise;
    for (char c : framed.substr(0, 4))
        bytewise.push_back(std::string(1, c));
    bytewise.push_back(framed.substr(4, 10));
    bytewise.push_back(framed.substr(14, 7));
    bytewise.push_back(framed.substr(21));
    EXPECT_EQ(body, receiveWhileSending(bytewise));

    // Two messages in one segment come out one at a time.
    server.sendRaw(TestServer::frame("(a)") + TestServer::frame("(b)"));
    std::string msg;
    ASSERT_TRUE(connection->getMessage(msg));
    EXPECT_EQ("(a)", msg);
    ASSERT_TRUE(connection->getMessage(msg));
    EXPECT_EQ("(b)", msg);
}

TEST_F(ConnectionTest, LengthLimits) {
    std::string msg = "unchanged";
    server.sendFrame("");
    ASSERT_TRUE(connection->getMessage(msg));
    EXPECT_EQ("", msg);

    std::string largest(Connection::MaxBodyLength, 'x');
    server.sendFrame(largest);
    ASSERT_TRUE(connection->getMessage(msg));
    EXPECT_EQ(largest, msg);

    // A body holding a NUL byte is cut there.
    server.sendFrame(std::string("(a)\0(b)", 7));
    ASSERT_TRUE(connection->getMessage(msg));
    EXPECT_EQ("(a)", msg);
}

TEST_F(ConnectionTest, OverlongMessagesAreSkippedAndFramingStaysInSync) {
    std::thread sender([&] {
        server.sendFrame(std::string(Connection::MaxBodyLength + 1, 'y'));
        server.sendFrame(std::string(100000, '('));
        server.sendFrame("(next)");
    });
    tovra_test::captureStderr();
    std::string msg;
    bool ok = connection->getMessage(msg);
    std::string err = tovra_test::capturedStderr();
    sender.join();
    ASSERT_TRUE(ok);
    EXPECT_EQ("(next)", msg);
    EXPECT_EQ("too long message; skipped\ntoo long message; skipped\n", err);
}

TEST_F(ConnectionTest, PeerClosingBetweenMessagesEndsTheConnection) {
    server.closeClient();
    tovra_test::captureStdout();
    std::string msg = "unchanged";
    EXPECT_FALSE(connection->getMessage(msg));
    EXPECT_EQ("closed connection to 127.0.0.1:" + std::to_string(server.port()) + "\n",
              tovra_test::capturedStdout());
    EXPECT_EQ("unchanged", msg);
    EXPECT_FALSE(connection->isOpen());

    // Nothing more can be received or sent, and nothing blocks.
    EXPECT_FALSE(connection->getMessage(msg));
    tovra_test::captureStderr();
    EXPECT_FALSE(connection->sendMessage("(syn)"));
    EXPECT_EQ("(sendMessage) ERROR:  send returned error 'Bad file descriptor' \n",
              tovra_test::capturedStderr());
}

TEST_F(ConnectionTest, PeerClosingInsideABodyIsReported) {
    server.sendRaw(TestServer::prefix(50) + "(only part of it");
    server.closeClient();
    tovra_test::captureStderr();
    std::string msg = "unchanged";
    EXPECT_FALSE(connection->getMessage(msg));
    std::string err = tovra_test::capturedStderr();
    EXPECT_EQ(0u, err.find("(getMessage) ERROR:  read returned errors '")) << err;
    EXPECT_EQ("unchanged", msg);
    // The rest of the stream is out of step with the framing: the connection is dropped.
    EXPECT_FALSE(connection->isOpen());
    EXPECT_FALSE(connection->getMessage(msg));
}

TEST_F(ConnectionTest, SendingToAVanishedPeerFailsWithoutSignal) {
    server.closeClient();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    tovra_test::captureStderr();
    // The first send may still be accepted locally; the reset makes a later one fail.
    bool anyFailed = false;
    for (int i = 0; i < 20 && !anyFailed; ++i) {
        anyFailed = !connection->sendMessage("(he1 0.5)");
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::string err = tovra_test::capturedStderr();
    EXPECT_TRUE(anyFailed);
    EXPECT_NE(std::string::npos, err.find("(sendMessage) ERROR:  send returned error '")) << err;
}

// With Nagle's algorithm on, the reply's second write waits for the ACK of
// its first, which the peer delays by at least 40 ms: every round takes
// that long. Without it a round takes well under a millisecond, and even on
// a loaded two-core machine half the rounds stay far below 20 ms.
TEST_F(ConnectionTest, ReplyIsNotHeldBackByNaglesDelay) {
    server.setDelayedAck(true);
    const int rounds = 40;
    std::thread agent([&] {
        std::string msg;
        for (int i = 0; i < rounds; ++i) {
            if (!connection->getMessage(msg))
                return;
            connection->sendMessage("(he1 0.00)(he2 0.00)(lle1 0.00)" + msg);
        }
    });
    std::vector<double> delays;
    for (int i = 0; i < rounds; ++i) {
        std::string body = "(time (now " + std::to_string(i) + "))";
        auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(server.sendFrame(body));
        std::string reply;
        ASSERT_TRUE(server.receiveFrame(reply, 2000));
        delays.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        EXPECT_NE(std::string::npos, reply.find(body));
    }
    agent.join();
    std::sort(delays.begin(), delays.end());
    EXPECT_LT(delays[delays.size() / 2], 20.0) << "median reply delay in ms";
}

TEST(ConnectionSetupTest, RefusedConnectionIsReportedAndClosed) {
    int freePort;
    {
        TestServer probe;
        freePort = probe.port();
    }
    Connection::deleteT();
    Connection* connection = Connection::instance();
    EXPECT_EQ("127.0.0.1", connection->getServer());
    EXPECT_EQ(3100, connection->getPort());
    connection->setPort(freePort);
    tovra_test::captureStderr();
    EXPECT_FALSE(connection->init());
    EXPECT_EQ("connection failed with: 'Connection refused'\n", tovra_test::capturedStderr());
    EXPECT_FALSE(connection->isOpen());
    std::string msg;
    EXPECT_FALSE(connection->getMessage(msg));
    Connection::deleteT();
}

TEST(ConnectionSetupTest, UnresolvableHostRaisesHostNotFound) {
    Connection::deleteT();
    Connection* connection = Connection::instance();
    connection->setServer("no-such-host.invalid");
    EXPECT_THROW(connection->init(), rcss::net::HostNotFound);
    Connection::deleteT();
}

}  // namespace
