#include "Actions/WalkOmni.h"

#include "Actions/Actions.h"
#include "Actions/Walk.h"
#include "Effector/Effector.h"

WalkOmni::WalkOmni() = default;

std::string WalkOmni::execute(std::vector<std::string> params) {
    const Actions* acs = Actions::getInstance();
    Walk::instance()->Execute(acs->getTurAng(), acs->getSpeed(), acs->getType(), params);
    return Effector::instance()->setActionCommand();
}
