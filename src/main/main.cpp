#include <exception>
#include <iostream>

#include "Agent/Connection.h"
#include "main/Entry.h"
#include "main/StartupCheck.h"

int main(int argc, char** argv) {
    try {
        if (!CheckOptions(argc, argv, uNum))
            return 0;
        StartupCheck::warnMissingData(std::cerr);
        if (!Connection::instance()->init())
            return 0;
        Run(nullptr);
    } catch (const std::exception&) {
    }
    return 0;
}
