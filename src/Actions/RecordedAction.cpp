#include "Actions/RecordedAction.h"

RecordedAction::RecordedAction(const std::string& name) : dataFile{name}, time(0) {}

std::string RecordedAction::execute(std::vector<std::string> /*params*/) {
    return messageFill(dataFile[0], time);
}
