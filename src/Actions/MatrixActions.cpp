#include "Actions/MatrixActions.h"

std::string MatrixAction::execute(std::vector<std::string> /*params*/) {
    // Orders and file indexes are not used: the motion has one table.
    if (!matrixFill(actMatrix, dataFile[0])) {
        time = 0;
        return std::string();
    }
    return act(actMatrix, time);
}
