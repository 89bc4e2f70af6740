#include "main/Entry.h"

#include <boost/scoped_ptr.hpp>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "Agent/Connection.h"
#include "Agent/MyBehavior.h"

int uNum = 1;
bool gLoop = true;

namespace {
const int MinUnum = 1;
const int MaxUnum = 11;

// The value of a value-taking option, or null when the option is the last
// argument.
const char* optionValue(int argc, char** argv, int& i) {
    if (i + 1 >= argc)
        return nullptr;
    return argv[++i];
}
}  // namespace

void PrintHelp() {
    std::cout << "\nUsage: tovra [OPTOINS]\n"
              << "Options:\n"
              << "\t--help: show this screen\n"
              << "\t--teamname <teamname>: set the team name of the player\n"
              << "\t--host <hostname>: set host name of the server\n"
              << "\t--port <port_no>: set the port number to connect to\n\n";
}

bool CheckOptions(int argc, char** argv, int& unum) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0) {
            PrintHelp();
            return false;
        }
        bool host = std::strcmp(arg, "--host") == 0;
        bool port = std::strcmp(arg, "--port") == 0;
        bool num = std::strcmp(arg, "--unum") == 0;
        if (!host && !port && !num)
            continue;

        const char* value = optionValue(argc, argv, i);
        if (value == nullptr) {
            std::cerr << "(CheckOptions) missing value for " << arg << std::endl;
            return false;
        }
        if (host) {
            Connection::instance()->setServer(value);
        } else if (port) {
            Connection::instance()->setPort(std::atoi(value));
        } else {
            unum = std::atoi(value);
        }
    }
    if (unum < MinUnum || unum > MaxUnum) {
        std::cerr << "(CheckOptions) uniform number " << unum << " is not between " << MinUnum
                  << " and " << MaxUnum << std::endl;
        return false;
    }
    return true;
}

void ConstructAgent() {
    Connection::instance()->sendMessage("(scene rsg/agent/nao/nao.rsg)");
}

void Run(MyBehavior* behavior) {
    boost::scoped_ptr<MyBehavior> agent(behavior != nullptr ? behavior : new MyBehavior(uNum));
    Connection* connection = Connection::instance();

    ConstructAgent();

    std::string message;
    while (gLoop) {
        // A closed or broken connection can deliver nothing more.
        if (!connection->getMessage(message))
            break;
        std::string reply = agent->Think(message);
        connection->sendMessage(reply);
    }
}

void handler(int sig) {
    if (sig == 2)
        gLoop = false;
}
