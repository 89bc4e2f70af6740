// The simulation server: accepts agents on a TCP port, speaks the framed
// S-expression protocol, runs the world, the referee and the clock, writes
// the trace, and serves the control channel.
#ifndef TOVRA_SIM_SERVER_H
#define TOVRA_SIM_SERVER_H

#include <array>
#include <atomic>
#include <cstdio>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FrameDecoder.h"
#include "Perception.h"
#include "Referee.h"
#include "Sexp.h"
#include "World.h"

namespace tovrasim {

struct ServerOptions {
    int port = 3100;
    int controlPort = 3200;  // -1: no control channel
    bool lockstep = false;
    double deadline = 0.1;  // lockstep: wall seconds a step waits for replies
    // Lockstep: once only robots that sent nothing for their previous
    // message are still awaited, the step waits at most this long.
    double silentWait = 0.02;
    Referee::Config referee;
    std::string traceFile;
    int traceEvery = 1;
    // Sensor noise (vision, gyroscope, accelerometer, joint angles) as a
    // real robot's; off for tests that compare exact numbers.
    bool noise = true;
    std::uint64_t seed = 1;
    NoiseModel noiseModel;
    int seeDecimals = Perception::kSeeDecimals;
    long maxSteps = -1;  // stop after this many steps (-1: never)
    int substeps = 10;
    ServoModel servo = ServoModel::Velocity;
    bool implicitIntegrator = false;
    double torqueScale = 1.0;
    size_t maxFrame = 65536;
};

class Server {
public:
    explicit Server(const ServerOptions& opt);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Opens the listening sockets; false (with a diagnostic) on failure.
    bool start();
    int port() const { return mPort; }
    int controlPort() const { return mControlPort; }

    // Runs until stop() or the step limit.
    void run();
    void stop() { mStop = true; }

    World& world() { return mWorld; }
    Referee& referee() { return mReferee; }
    long steps() const { return mWorld.stepCount(); }
    // Messages whose reply missed its step (one per message; the `late`
    // lines of the trace).
    long lateReplies() const { return mLate; }
    // Robot-steps in which a robot sent replies but still owed earlier
    // messages: its replies ran one or more steps behind.
    long laggingSteps() const { return mLagging; }
    // Times a robot silent for a whole step after a missed message had its
    // unanswered messages written off (see settleReplies).
    long resyncs() const { return mResyncs; }
    // The ground truth as one JSON line (no newline).
    std::string stateJson() const;

    // One client command text from an agent connection; public for tests.
    struct Client;

private:
    void acceptClients(int listenFd, bool control);
    void readClient(Client& c);
    void flushClient(Client& c);
    void closeClient(Client& c, const std::string& why);
    void handleAgentFrame(Client& c, const std::string& text);
    void handleInit(Client& c, const Sexp& e);
    void handleControlFrame(Client& c, const std::string& text);
    void sendFrame(Client& c, const std::string& body);
    void pollOnce(double timeoutSec);
    bool allReplied() const;
    // Every client still awaited is silent: it left its previous message
    // unanswered and has sent nothing since (a robot that replies while
    // running behind is not silent).
    bool onlySilentAwaited() const;
    // At a step's deadline: which robots answered in time, which run
    // behind, the late replies, and the re-synchronisation of robots that
    // were silent (or, in lockstep, did not catch up within the deadline).
    void settleReplies();
    void traceLate(const Client& c);
    void doStep();
    void sendPerceptions();
    void applyRefereeOutput(const Referee::Output& o);
    std::string clientName(const Client& c) const;
    std::array<std::string, 2> seenTeams(Side viewer) const;
    // Robots of a side in play or joining.
    int countSide(Side s) const;
    // Puts the robots accepted since the last call into the world with one
    // model build.
    void flushJoins();
    void trace(const std::string& line);
    // The sensor noise of the robot in `slot` (made on first use, kept for
    // the run); nullptr with noise off.
    SensorNoise* noiseOf(int slot);

    ServerOptions mOpt;
    World mWorld;
    Referee mReferee;
    int mListenFd = -1, mControlFd = -1;
    int mPort = -1, mControlPort = -1;
    std::list<std::unique_ptr<Client>> mClients;
    int mNextClientId = 1;
    std::array<std::string, 2> mTeamName;
    std::array<std::array<bool, 12>, 2> mTaken{};
    std::vector<Heard> mPendingSays, mHeard;
    std::atomic<bool> mStop{false};
    FILE* mTrace = nullptr;
    std::map<int, SensorNoise> mNoise;  // by side and number
    std::atomic<long> mLate{0};
    std::atomic<long> mLagging{0};
    std::atomic<long> mResyncs{0};
};

}  // namespace tovrasim

#endif
