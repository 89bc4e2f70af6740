#ifndef TOVRA_EFFECTOR_JOINTCOMMAND_H
#define TOVRA_EFFECTOR_JOINTCOMMAND_H

#include <string>

#include "WorldModel/Types.h"

// The joint-command vocabulary shared by the effector, the dispatcher's
// builders and the key-frame actions.

// Link number (EJointID) of a joint: head 0-1 -> 2-3, legs 2-13 -> 12-23,
// arms 14-21 -> 4-11. 0 for a value outside 0..21.
int jointToLink(int joint);
// The inverse: JointID of link 2..23, JID_MAX for any other value.
int linkToJoint(int link);

// Appends a number as a text stream writes it by default (six significant
// digits, no trailing zeros, exponent form only for very large or small
// values). A value that is not finite is written as 0.
void appendNumber(std::string& out, double value);
std::string formatNumber(double value);

// Appends one joint command, "(" + name + " " + velocity + ")".
void appendJointCommand(std::string& out, const std::string& name, double velocity);

#endif
