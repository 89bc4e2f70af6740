#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Agent/Connection.h"
#include "main/Entry.h"
#include "support/Capture.h"

namespace {

const char* const kUsage =
    "\nUsage: tovra [OPTOINS]\nOptions:\n\t--help: show this screen\n"
    "\t--teamname <teamname>: set the team name of the player\n"
    "\t--host <hostname>: set host name of the server\n"
    "\t--port <port_no>: set the port number to connect to\n\n";

struct Outcome {
    bool proceed;
    int unum;
    std::string host;
    int port;
    std::string out;
    std::string err;
};

Outcome check(std::vector<std::string> args) {
    Connection::deleteT();
    args.insert(args.begin(), "tovra");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    Outcome o;
    o.unum = 1;
    tovra_test::captureStdout();
    tovra_test::captureStderr();
    o.proceed = CheckOptions(static_cast<int>(args.size()), argv.data(), o.unum);
    o.out = tovra_test::capturedStdout();
    o.err = tovra_test::capturedStderr();
    o.host = Connection::instance()->getServer();
    o.port = Connection::instance()->getPort();
    Connection::deleteT();
    return o;
}

TEST(CheckOptionsTest, DefaultsAndValuesInAnyOrder) {
    Outcome none = check({});
    EXPECT_TRUE(none.proceed);
    EXPECT_EQ(1, none.unum);
    EXPECT_EQ("127.0.0.1", none.host);
    EXPECT_EQ(3100, none.port);
    EXPECT_EQ("", none.out + none.err);

    Outcome all = check({"--unum", "7", "--port", "3200", "--host", "10.0.0.2"});
    EXPECT_TRUE(all.proceed);
    EXPECT_EQ(7, all.unum);
    EXPECT_EQ("10.0.0.2", all.host);
    EXPECT_EQ(3200, all.port);

    Outcome repeated = check({"--unum", "3", "--unum", "9"});
    EXPECT_EQ(9, repeated.unum);
}

TEST(CheckOptionsTest, UnknownArgumentsAreSkippedOneAtATime) {
    Outcome team = check({"--teamname", "X", "--unum", "3"});
    EXPECT_TRUE(team.proceed);
    EXPECT_EQ(3, team.unum);
    EXPECT_EQ("", team.out + team.err);

    // The value of an unknown option is itself examined as an option.
    Outcome help = check({"--teamname", "--help"});
    EXPECT_FALSE(help.proceed);
    EXPECT_EQ(kUsage, help.out);
}

TEST(CheckOptionsTest, HelpAppliesEarlierOptionsAndStops) {
    Connection::deleteT();
    std::vector<std::string> args = {"tovra", "--port", "4000", "--help", "--unum", "5"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    int unum = 1;
    tovra_test::captureStdout();
    EXPECT_FALSE(CheckOptions(static_cast<int>(argv.size()), argv.data(), unum));
    EXPECT_EQ(kUsage, tovra_test::capturedStdout());
    EXPECT_EQ(4000, Connection::instance()->getPort());
    EXPECT_EQ(1, unum);
    Connection::deleteT();
}

TEST(CheckOptionsTest, NumbersAreReadLikeAtoi) {
    EXPECT_EQ(0, check({"--port", "abc"}).port);
    EXPECT_EQ(3200, check({"--port", "3200xyz"}).port);
    EXPECT_EQ(4, check({"--unum", "4.9"}).unum);
}

TEST(CheckOptionsTest, MissingValueOrBadUniformNumberEndsWithoutConnecting) {
    for (const char* option : {"--host", "--port", "--unum"}) {
        Outcome last = check({"--unum", "2", option});
        EXPECT_FALSE(last.proceed) << option;
        EXPECT_NE(std::string::npos, last.err.find(option)) << last.err;
    }
    for (const char* bad : {"0", "12", "-3", "abc"}) {
        Outcome o = check({"--unum", bad});
        EXPECT_FALSE(o.proceed) << bad;
        EXPECT_NE(std::string::npos, o.err.find("uniform number")) << o.err;
    }
    EXPECT_TRUE(check({"--unum", "11"}).proceed);
}

TEST(HandlerTest, OnlyInterruptClearsTheRunFlag) {
    gLoop = true;
    handler(15);
    EXPECT_TRUE(gLoop);
    handler(2);
    EXPECT_FALSE(gLoop);
    gLoop = true;
}

}  // namespace
