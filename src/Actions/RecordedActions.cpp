#include "Actions/RecordedActions.h"

std::string RecordedAction::execute(std::vector<std::string> /*params*/) {
    return messageFill(dataFile[0], time);
}
