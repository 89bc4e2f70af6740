#include "Actions/SineActions.h"

std::string SineAction::execute(std::vector<std::string> params) {
    return sinFill(dataFile[0], time, params);
}
