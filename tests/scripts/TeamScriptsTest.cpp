// The install layout, the team's start.sh and kill.sh, and (run on request,
// see tools/CMakeLists.txt) a short whole match through scripts/match.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/ChildProcess.h"
#include "support/PlayersTable.h"
#include "support/ScratchDir.h"
#include "support/XmlCheck.h"

namespace fs = std::filesystem;
using tovra::test::ChildProcess;
using tovra::test::ScratchDir;
using tovra::test::XmlCheck;

namespace {

std::string buildDir() {
    return fs::path(TOVRA_BINARY).parent_path().string();
}

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

Result shell(const std::string& command, int timeoutMs = 60000) {
    ChildProcess p("/bin/sh", {"-c", command});
    Result r;
    if (p.wait(timeoutMs))
        r.status = p.exitStatus();
    r.out = p.out();
    r.err = p.err();
    return r;
}

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Field 22 of /proc/PID/stat, empty for a process that is gone or a zombie.
std::string startTime(long pid) {
    const std::string stat = slurp("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return "";
    std::istringstream in(stat.substr(close + 2));
    std::vector<std::string> f;
    std::string w;
    while (in >> w)
        f.push_back(w);
    if (f.size() < 20 || f[0] == "Z")
        return "";
    return f[19];
}

struct PidEntry {
    long pid = 0;
    std::string start;
    int unum = 0;
};

std::vector<PidEntry> readPids(const fs::path& file) {
    std::vector<PidEntry> out;
    std::istringstream in(slurp(file));
    PidEntry e;
    while (in >> e.pid >> e.start >> e.unum)
        out.push_back(e);
    return out;
}

bool sameProcess(const PidEntry& e) {
    return startTime(e.pid) == e.start;
}

template <typename Pred>
bool eventually(Pred pred, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (pred())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return pred();
}

// An unrelated process that must survive: a sleeping child of the test.
struct Bystander {
    pid_t pid = -1;
    Bystander() {
        pid = ::fork();
        if (pid == 0) {
            ::execl("/bin/sleep", "sleep", "60", static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~Bystander() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    bool running() const { return pid > 0 && !startTime(pid).empty(); }
};

// A stand-in server for many agents: accepts them, reads their framed
// messages, sends framed messages.
class TeamListener {
public:
    TeamListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::listen(fd_, 64) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            return;
        port_ = ntohs(a.sin_port);
    }
    ~TeamListener() {
        for (int c : clients_)
            ::close(c);
        if (fd_ >= 0)
            ::close(fd_);
    }
    int port() const { return port_; }
    const std::vector<int>& clients() const { return clients_; }

    // Accepts until `count` clients are connected or the time is up.
    bool acceptAll(size_t count, int timeoutMs) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (clients_.size() < count && std::chrono::steady_clock::now() < end) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) {
                const int c = ::accept(fd_, nullptr, nullptr);
                if (c >= 0)
                    clients_.push_back(c);
            }
        }
        return clients_.size() >= count;
    }

    static bool sendFrame(int fd, const std::string& body) {
        const std::uint32_t n = htonl(static_cast<std::uint32_t>(body.size()));
        std::string bytes(reinterpret_cast<const char*>(&n), 4);
        bytes += body;
        return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(bytes.size());
    }

    static bool readExactly(int fd, char* buf, size_t count, int timeoutMs) {
        size_t got = 0;
        while (got < count) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) <= 0)
                return false;
            const ssize_t n = ::recv(fd, buf + got, count - got, 0);
            if (n <= 0)
                return false;
            got += static_cast<size_t>(n);
        }
        return true;
    }

    static bool readFrame(int fd, std::string& body, int timeoutMs = 10000) {
        char head[4];
        if (!readExactly(fd, head, 4, timeoutMs))
            return false;
        std::uint32_t n;
        std::memcpy(&n, head, 4);
        n = ntohl(n);
        if (n > 100000)
            return false;
        body.assign(n, '\0');
        return readExactly(fd, body.data(), n, timeoutMs);
    }

    // True when the peer has closed (end of stream) within the time.
    static bool closedByPeer(int fd, int timeoutMs) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        char buf[4096];
        while (std::chrono::steady_clock::now() < end) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) {
                const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                if (n <= 0)
                    return true;
            }
        }
        return false;
    }

private:
    int fd_ = -1;
    int port_ = 0;
    std::vector<int> clients_;
};

class TeamScripts : public ::testing::Test {
protected:
    void SetUp() override {
        install_ = fs::path(scratch_.path()) / "team";
        const Result r =
            shell("cmake --install " + quote(buildDir()) + " --prefix " + quote(install_.string()));
        ASSERT_EQ(r.status, 0) << r.out << r.err;
    }
    Result script(const std::string& name, const std::string& args = "") {
        return shell(quote((install_ / name).string()) + " " + args);
    }

    ScratchDir scratch_;
    fs::path install_;
};

TEST_F(TeamScripts, InstallLaysOutProgramDataModulesAndScripts) {
    auto executable = [](const fs::path& p) {
        return fs::is_regular_file(p) && access(p.c_str(), X_OK) == 0;
    };
    EXPECT_TRUE(executable(install_ / "tovra"));
    EXPECT_TRUE(executable(install_ / "start.sh"));
    EXPECT_TRUE(executable(install_ / "kill.sh"));
    EXPECT_TRUE(fs::is_directory(install_ / "Acts"));
    EXPECT_FALSE(fs::is_empty(install_ / "Acts"));
    EXPECT_TRUE(fs::is_regular_file(install_ / "formation.conf"));
    for (const char* module : {"WorldModel.o", "Mathematics.o", "Geometry.o"})
        EXPECT_TRUE(fs::is_regular_file(install_ / "modules" / module)) << module;
}

TEST_F(TeamScripts, StartsElevenPlayersAndKillStopsExactlyThose) {
    TeamListener server;
    ASSERT_GT(server.port(), 0);
    // Processes that kill.sh must leave alone: an unrelated one, and a
    // player started by hand from the same directory.
    Bystander bystander;
    ChildProcess handStarted((install_ / "tovra").string(),
                             {"--port", std::to_string(server.port()), "--unum", "5"},
                             install_.string());

    const Result start = script("start.sh", "127.0.0.1 " + std::to_string(server.port()));
    ASSERT_EQ(start.status, 0) << start.out << start.err;
    EXPECT_NE(start.out.find("started 11 players"), std::string::npos) << start.out;
    const auto pids = readPids(install_ / "team.pids");
    ASSERT_EQ(pids.size(), 11u);
    std::set<int> numbers;
    for (const PidEntry& e : pids) {
        numbers.insert(e.unum);
        EXPECT_TRUE(sameProcess(e)) << e.pid;
        EXPECT_TRUE(eventually(
            [&] {
                std::error_code ec;
                return fs::read_symlink("/proc/" + std::to_string(e.pid) + "/exe", ec) ==
                       install_ / "tovra";
            },
            5000))
            << "process " << e.pid << " is not the installed program";
    }
    EXPECT_EQ(numbers.size(), 11u);
    EXPECT_EQ(*numbers.begin(), 1);
    EXPECT_EQ(*numbers.rbegin(), 11);

    // Twelve agents connect (eleven and the one by hand); each asks for its
    // robot and, after the first message, announces its number.
    ASSERT_TRUE(server.acceptAll(12, 20000)) << server.clients().size() << " connected";
    std::multiset<int> announced;
    for (int c : server.clients()) {
        std::string body;
        ASSERT_TRUE(TeamListener::readFrame(c, body));
        EXPECT_EQ(body, "(scene rsg/agent/nao/nao.rsg)");
        ASSERT_TRUE(
            TeamListener::sendFrame(c, "(time (now 0.02))(GS (t 0.00) (pm BeforeKickOff))"));
        ASSERT_TRUE(TeamListener::readFrame(c, body));
        int unum = 0;
        ASSERT_EQ(std::sscanf(body.c_str(), "(init (unum %d)(teamname KALDA))", &unum), 1) << body;
        announced.insert(unum);
    }
    EXPECT_EQ(announced.count(5), 2u);
    for (int u = 1; u <= 11; ++u)
        EXPECT_GE(announced.count(u), 1u) << u;
    for (int u = 1; u <= 11; ++u)
        EXPECT_TRUE(fs::exists(install_ / "log" / ("player-" + std::to_string(u) + ".log"))) << u;

    // A second start while the team runs is refused and changes nothing.
    const Result again = script("start.sh", "127.0.0.1 " + std::to_string(server.port()));
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("already running"), std::string::npos) << again.err;
    EXPECT_EQ(readPids(install_ / "team.pids").size(), 11u);

    const Result killed = script("kill.sh");
    ASSERT_EQ(killed.status, 0) << killed.err;
    EXPECT_NE(killed.out.find("stopped 11 players"), std::string::npos) << killed.out;
    for (const PidEntry& e : pids)
        EXPECT_TRUE(eventually([&] { return !sameProcess(e); }, 5000)) << e.pid;
    EXPECT_FALSE(fs::exists(install_ / "team.pids"));
    int closed = 0;
    for (int c : server.clients())
        closed += TeamListener::closedByPeer(c, 200) ? 1 : 0;
    EXPECT_EQ(closed, 11) << "only the eleven started players closed their connections";
    EXPECT_TRUE(bystander.running());
    EXPECT_TRUE(handStarted.running());

    const Result nothing = script("kill.sh");
    EXPECT_EQ(nothing.status, 0);
    EXPECT_NE(nothing.out.find("no "), std::string::npos) << nothing.out;
}

TEST_F(TeamScripts, KillLeavesAReusedProcessIdAlone) {
    Bystander bystander;
    ASSERT_GT(bystander.pid, 0);
    const std::string since = startTime(bystander.pid);
    ASSERT_FALSE(since.empty());
    // A list whose ids now belong to other processes or to none: the
    // bystander's id with another start time, a free id, and junk.
    std::ofstream(install_ / "team.pids") << bystander.pid << " " << since << "0 1\n"
                                          << "999999999 12345 2\n"
                                          << "not-a-pid 1 3\n";
    const Result killed = script("kill.sh");
    EXPECT_EQ(killed.status, 0) << killed.err;
    EXPECT_NE(killed.out.find("stopped 0 players"), std::string::npos) << killed.out;
    EXPECT_EQ(startTime(bystander.pid), since) << "the bystander was stopped";
    EXPECT_FALSE(fs::exists(install_ / "team.pids"));
}

TEST_F(TeamScripts, StartRejectsABadPort) {
    for (const char* port : {"abc", "0", "70000", "31x"}) {
        const Result r = script("start.sh", std::string("127.0.0.1 ") + port);
        EXPECT_EQ(r.status, 2) << port;
        EXPECT_NE(r.err.find("port"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(install_ / "team.pids"));
    EXPECT_FALSE(fs::exists(install_ / "log"));
}

// Two teams of eleven in lockstep, halves of 20 s of play, end to end.
// Minutes of wall time: registered with CTest separately (label "match").
TEST(MatchTest, DISABLED_ShortLockstepMatch) {
    if (!fs::exists(fs::path(buildDir()) / "tovra-sim"))
        GTEST_SKIP() << "the simulator is not built";
    ScratchDir dir;
    const fs::path out = fs::path(dir.path()) / "match";
    ChildProcess match("/bin/bash", {std::string(TOVRA_SOURCE_DIR) + "/scripts/match", "--half",
                                     "20", "--no-build", "--build-dir", buildDir(), "--out",
                                     out.string(), "--timeout", "1000"});
    ASSERT_TRUE(match.wait(1100 * 1000)) << "scripts/match did not end";
    const std::string said = match.out() + match.err();
    ASSERT_EQ(match.exitStatus(), 0) << said;
    EXPECT_NE(said.find("match over (GameOver)"), std::string::npos) << said;
    EXPECT_NE(said.find("agents still running at the end: 22/22"), std::string::npos) << said;

    const tovra::test::PlayersTable table =
        tovra::test::readPlayersTable(slurp(out / "players.tsv"));
    const auto& rows = table.rows;
    EXPECT_EQ(table.info.at("gameover"), "1");
    EXPECT_EQ(table.info.at("malformed"), "0");
    ASSERT_EQ(rows.size(), 22u);
    double lastSeen = 0;
    for (const auto& [key, r] : rows)
        lastSeen = std::max(lastSeen, std::stod(r.at("last_seen")));
    for (const auto& [key, r] : rows) {
        const double counted = std::stod(r.at("counted"));
        const double answered = std::stod(r.at("answered"));
        EXPECT_GT(counted, 40 / 0.02) << key;
        EXPECT_GE(answered, 0.99 * counted) << key;
        EXPECT_GT(std::stod(r.at("last_seen")), lastSeen - 0.1) << key << " left the game";
    }
    const XmlCheck x = XmlCheck::run(slurp(out / "report.html"));
    EXPECT_TRUE(x.ok) << x.error;
    EXPECT_TRUE(fs::exists(out / "trace.jsonl.gz"));

    // No sanitizer report from any agent or the simulator (in the
    // sanitizer build the match runs sanitized programs).
    std::vector<fs::path> logs = {out / "sim.log"};
    for (const char* side : {"left", "right"}) {
        for (int u = 1; u <= 11; ++u)
            logs.push_back(out / side / "log" / ("player-" + std::to_string(u) + ".log"));
    }
    for (const fs::path& log : logs) {
        EXPECT_TRUE(fs::exists(log)) << log;
        const std::string text = slurp(log);
        for (const char* report :
             {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:"})
            EXPECT_EQ(text.find(report), std::string::npos) << log << ":\n" << text;
    }

    // Nothing the match started is left running.
    EXPECT_FALSE(fs::exists(out / "left" / "team.pids"));
    EXPECT_FALSE(fs::exists(out / "right" / "team.pids"));
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::error_code ec;
        const fs::path exe = fs::read_symlink(entry.path() / "exe", ec);
        if (!ec) {
            EXPECT_NE(exe.string().rfind(out.string(), 0), 0u) << "still running: " << exe;
        }
    }
}

}  // namespace
