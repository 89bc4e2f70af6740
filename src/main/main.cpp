#include <exception>

#include "Agent/Connection.h"
#include "main/Entry.h"

int main(int argc, char** argv) {
    try {
        if (!CheckOptions(argc, argv, uNum))
            return 0;
        if (!Connection::instance()->init())
            return 0;
        Run(nullptr);
    } catch (const std::exception&) {
    }
    return 0;
}
