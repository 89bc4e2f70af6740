#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/ScratchDir.h"
#include "support/TestServer.h"

using tovra::test::ChildProcess;
using tovra::test::ScratchDir;
using tovra::test::TestServer;

namespace {

const std::string kScene = "(scene rsg/agent/nao/nao.rsg)";

// A working directory with the run-time data the program looks for at start,
// so that its standard error holds only what the test is about.
class DataDir : public ScratchDir {
public:
    DataDir() {
        write("Acts/Wait.txt", "3 2\n0 0\n0 10\n22 45\n");
        write("formation.conf", "unums 1\nid 0\nhomePosX -1\nhomePosY 0\n");
        write("outputdata", "");
    }
};

TEST(ProgramTest, HelpPrintsUsageAndExitsWithoutConnecting) {
    ChildProcess tovra(TOVRA_BINARY, {"--unum", "3", "--help"});
    ASSERT_TRUE(tovra.wait());
    EXPECT_EQ(0, tovra.exitStatus());
    EXPECT_EQ(0u, tovra.out().find("\nUsage: tovra [OPTOINS]\n"));
    EXPECT_EQ("", tovra.err());
}

TEST(ProgramTest, BadCommandLinesEndWithStatusZeroWithoutConnecting) {
    TestServer server;
    std::string port = std::to_string(server.port());
    for (std::vector<std::string> args : {std::vector<std::string>{"--port", port, "--unum", "12"},
                                          std::vector<std::string>{"--port", port, "--host"},
                                          std::vector<std::string>{"--port", port, "--unum"}}) {
        ChildProcess tovra(TOVRA_BINARY, args);
        ASSERT_TRUE(tovra.wait());
        EXPECT_EQ(0, tovra.exitStatus());
        EXPECT_NE("", tovra.err());
    }
    EXPECT_FALSE(server.accept(200));
}

TEST(ProgramTest, UnreachableServerEndsWithReport) {
    int freePort;
    {
        TestServer probe;
        freePort = probe.port();
    }
    DataDir dir;
    ChildProcess tovra(TOVRA_BINARY, {"--port", std::to_string(freePort)}, dir.path());
    ASSERT_TRUE(tovra.wait());
    EXPECT_EQ(0, tovra.exitStatus());
    EXPECT_EQ("connection failed with: 'Connection refused'\n", tovra.err());

    ChildProcess unresolved(TOVRA_BINARY, {"--host", "no-such-host.invalid"}, dir.path());
    ASSERT_TRUE(unresolved.wait());
    EXPECT_EQ(0, unresolved.exitStatus());
    EXPECT_EQ("", unresolved.out() + unresolved.err());
}

TEST(ProgramTest, SendsSceneRequestAndStopsWhenServerCloses) {
    TestServer server;
    ChildProcess tovra(TOVRA_BINARY, {"--port", std::to_string(server.port()), "--unum", "4"});
    ASSERT_TRUE(server.accept());
    std::string bytes;
    ASSERT_TRUE(server.receiveRaw(bytes, 4 + kScene.size()));
    EXPECT_EQ(TestServer::frame(kScene), bytes);

    // Messages in every shape keep the agent running and in step. The first
    // one is answered with the init message; the rest fall into the silent
    // half second of the beam window before the kick-off.
    server.sendFrame("(time (now 0.02))(GS (t 0.00) (pm BeforeKickOff))");
    std::string init;
    ASSERT_TRUE(server.receiveFrame(init));
    EXPECT_EQ("(init (unum 4)(teamname KALDA))", init);
    server.sendRaw(TestServer::prefix(20000) + std::string(20000, ')'));
    server.sendFrame("(a))(b)");
    server.sendFrame("");
    server.sendFrame("(time (now 0.04)");
    EXPECT_TRUE(server.silentFor(200));
    EXPECT_TRUE(tovra.running());

    server.closeClient();
    ASSERT_TRUE(tovra.wait());
    EXPECT_EQ(0, tovra.exitStatus());
    EXPECT_EQ("closed connection to 127.0.0.1:" + std::to_string(server.port()) + "\n",
              tovra.out());
    EXPECT_NE(std::string::npos, tovra.err().find("too long message; skipped\n"));
}

TEST(ProgramTest, PeerVanishingInsideABodyEndsCleanly) {
    TestServer server;
    DataDir dir;
    ChildProcess tovra(TOVRA_BINARY, {"--port", std::to_string(server.port())}, dir.path());
    ASSERT_TRUE(server.accept());
    std::string bytes;
    ASSERT_TRUE(server.receiveRaw(bytes, 4 + kScene.size()));
    server.sendRaw(TestServer::prefix(100) + "(time (now");
    server.closeClient();
    ASSERT_TRUE(tovra.wait());
    EXPECT_EQ(0, tovra.exitStatus());
    EXPECT_EQ(0u, tovra.err().find("(getMessage) ERROR:  read returned errors '"));
}

}  // namespace
