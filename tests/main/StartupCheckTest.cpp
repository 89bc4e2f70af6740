// The program's start-up check of its run-time data, seen from outside: the
// real program in a scratch working directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
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

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// The warning lines of the start-up check in a program's standard error.
std::vector<std::string> warnings(const std::string& err) {
    std::vector<std::string> out;
    for (const std::string& l : lines(err)) {
        if (l.rfind("(StartupCheck) warning: ", 0) == 0)
            out.push_back(l);
    }
    return out;
}

// Runs the program in `dir` against a server that refuses connections and
// returns its standard error.
std::string runAgainstNoServer(const ScratchDir& dir) {
    int freePort;
    {
        TestServer probe;
        freePort = probe.port();
    }
    ChildProcess tovra(TOVRA_BINARY, {"--port", std::to_string(freePort)}, dir.path());
    EXPECT_TRUE(tovra.wait());
    EXPECT_EQ(0, tovra.exitStatus());
    return tovra.err();
}

// The directory as the program sees it (symbolic links resolved).
std::string realPath(const ScratchDir& dir) {
    char buf[PATH_MAX];
    return ::realpath(dir.path().c_str(), buf) != nullptr ? std::string(buf) : dir.path();
}

void writeAllData(const ScratchDir& dir) {
    ASSERT_TRUE(dir.write("Acts/Wait.txt", "3 2\n0 0\n0 10\n22 45\n"));
    ASSERT_TRUE(dir.write("formation.conf", "unums 1\nid 0\nhomePosX -1\nhomePosY 0\n"));
    ASSERT_TRUE(dir.write("outputdata", "(he1 0)\n"));
}

TEST(StartupCheck, EmptyDirectoryGetsOneWarningPerItemAndTheAgentStillPlays) {
    ScratchDir dir;
    TestServer server;
    ChildProcess tovra(TOVRA_BINARY, {"--port", std::to_string(server.port()), "--unum", "5"},
                       dir.path());
    // It still connects, asks for its robot and answers with its init message.
    ASSERT_TRUE(server.accept());
    std::string bytes;
    ASSERT_TRUE(server.receiveRaw(bytes, 4 + kScene.size()));
    EXPECT_EQ(TestServer::frame(kScene), bytes);
    server.sendFrame("(time (now 0.02))(GS (t 0.00) (pm BeforeKickOff))");
    std::string init;
    ASSERT_TRUE(server.receiveFrame(init));
    EXPECT_EQ("(init (unum 5)(teamname KALDA))", init);
    server.closeClient();
    ASSERT_TRUE(tovra.wait());
    EXPECT_EQ(0, tovra.exitStatus());

    const std::vector<std::string> w = warnings(tovra.err());
    ASSERT_EQ(3u, w.size()) << tovra.err();
    EXPECT_NE(std::string::npos, w[0].find("\"Acts/\" in " + realPath(dir) + " is missing"));
    EXPECT_NE(std::string::npos,
              w[1].find("\"formation.conf\" in " + realPath(dir) + " is missing"));
    EXPECT_NE(std::string::npos, w[2].find("\"outputdata\" in " + realPath(dir) + " is missing"));
    // Each warning is one line; the check adds nothing else.
    EXPECT_EQ(3u, lines(tovra.err()).size()) << tovra.err();
}

TEST(StartupCheck, CompleteDataGetsNoWarningAndEachMissingItemIsNamedAlone) {
    {
        ScratchDir dir;
        writeAllData(dir);
        EXPECT_EQ("connection failed with: 'Connection refused'\n", runAgainstNoServer(dir));
    }
    for (const char* missing : {"Acts/Wait.txt", "formation.conf", "outputdata"}) {
        ScratchDir dir;
        writeAllData(dir);
        const std::string path = dir.path() + "/" + missing;
        ASSERT_EQ(0, std::remove(path.c_str()));
        if (std::string(missing) == "Acts/Wait.txt") {
            ASSERT_EQ(0, ::rmdir((dir.path() + "/Acts").c_str()));
        }
        const std::vector<std::string> w = warnings(runAgainstNoServer(dir));
        ASSERT_EQ(1u, w.size()) << missing;
        const std::string name = std::string(missing).substr(0, std::string(missing).find('/'));
        EXPECT_NE(std::string::npos, w[0].find("\"" + name)) << w[0];
    }
}

TEST(StartupCheck, DataOfTheWrongKindIsWarnedAbout) {
    ScratchDir dir;
    ASSERT_TRUE(dir.write("Acts", "not a directory\n"));
    ASSERT_TRUE(dir.write("formation.conf/x", ""));
    ASSERT_TRUE(dir.write("outputdata", "(he1 0)\n"));
    const std::vector<std::string> w = warnings(runAgainstNoServer(dir));
    ASSERT_EQ(2u, w.size());
    EXPECT_NE(std::string::npos,
              w[0].find("\"Acts/\" in " + realPath(dir) + " is not a directory"));
    EXPECT_NE(std::string::npos,
              w[1].find("\"formation.conf\" in " + realPath(dir) + " is a directory, not a file"));
}

TEST(StartupCheck, HelpAndUnusableCommandLinesAreNotChecked) {
    ScratchDir dir;
    ChildProcess help(TOVRA_BINARY, {"--help"}, dir.path());
    ASSERT_TRUE(help.wait());
    EXPECT_EQ("", help.err());
    ChildProcess bad(TOVRA_BINARY, {"--unum", "0"}, dir.path());
    ASSERT_TRUE(bad.wait());
    EXPECT_TRUE(warnings(bad.err()).empty()) << bad.err();
}

}  // namespace
