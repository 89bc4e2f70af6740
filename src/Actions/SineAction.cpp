#include "Actions/SineAction.h"

SineAction::SineAction(const std::string& name) : dataFile{name}, time(0) {}

std::string SineAction::execute(std::vector<std::string> params) {
    return sinFill(dataFile[0], time, params);
}
