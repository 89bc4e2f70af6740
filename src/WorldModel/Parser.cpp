#include "WorldModel/Parser.h"

#include <cmath>
#include <iostream>
#include <limits>

#include "Effector/Effector.h"
#include "Effector/Kinematic.h"
#include "WorldModel/WorldModel.h"
#include "spark/sexpparser/sexpparser.h"

using oxygen::Predicate;
using oxygen::PredicateList;

Parser::Parser() : WM(WorldModel::instance()), mParser(new SexpParser()) {}

Parser::~Parser() {
    delete mParser;
}

void Parser::doParse(const std::string& message) {
    // The cycle counter still sees the previous message's server time.
    Effector::instance()->updateCycle();
    Kinematic* kinematic = Kinematic::instance();
    if (!kinematic->getinit()) {
        kinematic->init();
    }

    const boost::shared_ptr<PredicateList> predicates = mParser->Parse(message);
    if (!predicates) {
        return;
    }

    for (const Predicate& predicate : *predicates) {
        const std::string& name = predicate.name;
        if (name.empty()) {
            continue;
        }
        switch (name[0]) {
            case 'A':
                parseACC(predicate);
                break;
            case 'F':
                parseFRP(predicate);
                break;
            case 'G':
                if (name.size() > 1 && name[1] == 'Y') {
                    parseGYR(predicate);
                } else if (name.size() > 1 && name[1] == 'S') {
                    parseGameState(predicate);
                }
                break;
            case 'H':
                parseHingeJointInfo(predicate);
                break;
            case 'S':
                parseObjectVision(predicate);
                break;
            case 'T':
                parseTCH(predicate);
                break;
            case 'h':
                parseHearInfo(predicate);
                break;
            case 't':
                parseTime(predicate);
                break;
            default:
                break;
        }
    }
}

void Parser::parseTime(const Predicate& predicate) {
    // The server time travels as a single-precision number.
    float now = 0;
    if (predicate.GetValue(Predicate::Iterator(predicate), "now", now)) {
        WM->setServerTime(static_cast<double>(now));
    }
}

void Parser::parseGameState(const Predicate& predicate) {
    const Predicate::Iterator iter(predicate);

    int unum = 0;  // the server repeats our number; nothing uses it
    predicate.GetValue(iter, "unum", unum);

    std::string team;
    if (predicate.GetValue(iter, "team", team)) {
        if (team == "left") {
            WM->setTeamSide(TEAM_LEFT);
        } else if (team == "right") {
            WM->setTeamSide(TEAM_RIGHT);
        }
    }

    double gameTime = 0;
    if (predicate.GetValue(iter, "t", gameTime)) {
        WM->setGameTime(gameTime);
    }

    std::string mode;
    if (predicate.GetValue(iter, "pm", mode)) {
        // A play mode we do not know counts as before kick-off; the table
        // itself is left as it is.
        const TStateIDMap::const_iterator it = Types::mPlayModeMap.find(mode);
        WM->setGameState(it == Types::mPlayModeMap.end() ? PM_BeforeKickOff : it->second);
    }
}

void Parser::parseGYR(const Predicate& predicate) {
    const Predicate::Iterator iter(predicate);
    std::string name;
    if (!predicate.GetValue(iter, "n", name)) {
        return;
    }
    Vector3f rates;
    if (predicate.GetValue(iter, "rt", rates)) {
        GYREvent(rates);
    }
}

void Parser::parseACC(const Predicate& predicate) {
    const Predicate::Iterator iter(predicate);
    std::string name;
    if (!predicate.GetValue(iter, "n", name)) {
        return;
    }
    Vector3f acc;
    if (predicate.GetValue(iter, "a", acc)) {
        ACCEvent(acc);
    }
}

void Parser::parseHingeJointInfo(const Predicate& predicate) {
    const Predicate::Iterator iter(predicate);
    std::string name;
    if (!predicate.GetValue(iter, "n", name)) {
        return;
    }
    const TStringToJointIDMap::const_iterator joint = Types::mStringToJointIDMap.find(name);
    if (joint == Types::mStringToJointIDMap.end()) {
        std::cerr << "(VezEzavedir) unknown joint id!" << std::endl;
        return;
    }
    double angle = 0;
    if (!predicate.GetValue(iter, "ax", angle)) {
        return;
    }
    // An angle that is no finite single-precision number would poison the
    // kinematic model and every command; the previous reading stays.
    if (!std::isfinite(angle) || std::fabs(angle) > std::numeric_limits<float>::max()) {
        return;
    }
    WM->mJointIDToAngleMap[joint->second] = static_cast<float>(angle);
}

void Parser::parseFRP(const Predicate& predicate) {
    const Predicate::Iterator iter(predicate);
    std::string name;
    if (!predicate.GetValue(iter, "n", name)) {
        return;
    }
    FRPSense sense;
    if (!predicate.GetValue(iter, "c", sense.point)) {
        return;
    }
    if (!predicate.GetValue(iter, "f", sense.force)) {
        return;
    }
    FRPEvent(name, sense);
}

void Parser::parseTCH(const Predicate& predicate) {
    const Predicate::Iterator iter(predicate);
    std::string name;
    int value = 0;
    if (predicate.GetValue(iter, "name", name) && predicate.GetValue(iter, "val", value)) {
        TCHEvent(name, value);
    }
}

void Parser::parseHearInfo(const Predicate& predicate) {
    Predicate::Iterator iter(predicate);

    double time = 0;
    if (!predicate.AdvanceValue(iter, time)) {
        std::cerr << "could not get hear time \n";
        return;
    }
    double sender = 0;  // "self" or a direction; not used
    if (!predicate.AdvanceValue(iter, sender)) {
        std::cerr << "could not get sender \n";
        return;
    }
    std::string message;
    if (!predicate.GetValue(iter, message)) {
        std::cerr << "could not get message \n";
        return;
    }
    WM->setCommunicationString(message, time);
}

void Parser::parseObjectVision(const Predicate& predicate) {
    const Predicate::Iterator values(predicate);
    for (Predicate::Iterator iter = values; iter != values.end(); ++iter) {
        Predicate::Iterator entry(iter);
        if (!predicate.DescentList(entry)) {
            continue;
        }
        std::string name;
        if (!predicate.GetValue(entry, name) || name.empty()) {
            continue;
        }

        if (name == "P") {
            parsePlayerInfo(predicate, entry);
        }

        std::string id;
        if (predicate.GetValue(entry, "id", id)) {
            name += id;
        }

        if (name == "mypos") {
            Predicate::Iterator pos(entry);
            ++pos;
            Vector3f ignored;
            predicate.AdvanceValue(pos, ignored);
            std::cout << "PARSER ERROR!" << std::endl;
        }

        Predicate::Iterator pol(entry);
        if (!predicate.FindParameter(pol, "pol")) {
            continue;
        }
        VisionSense sense;
        if (!predicate.AdvanceValue(pol, sense.distance) ||
            !predicate.AdvanceValue(pol, sense.theta) || !predicate.AdvanceValue(pol, sense.phi)) {
            continue;
        }

        switch (name[0]) {
            case 'F':
                flagVisionEvent(name, sense);
                break;
            case 'B':
                ballVisionEvent(sense);
                break;
            case 'G':
                goalVisionEvent(name, sense);
                break;
            default:
                break;
        }
    }
}

void Parser::parsePlayerInfo(const Predicate& predicate, Predicate::Iterator entry) {
    std::string team;
    if (!predicate.GetValue(entry, "team", team)) {
        std::cerr << "could not get team \n";
    } else {
        ++entry;
    }

    int id = 0;
    const bool hasId = predicate.GetValue(entry, "id", id);
    if (!hasId) {
        std::cerr << "could not get id \n";
    } else {
        ++entry;
    }

    // Past the name: with team and id in front, on the first body part.
    ++entry;

    // Only a number of the object table names a player; without one the
    // entry updates nobody's record.
    Object player = OBJECT_MAX;
    if (hasId) {
        const std::string key =
            (team == WM->getTeamName() ? "TEAMMATE" : "OPPONENT") + std::to_string(id);
        const TStringToObjectMap::const_iterator it = Types::mStringToObjectMap.find(key);
        if (it != Types::mStringToObjectMap.end()) {
            player = it->second;
        }
    }

    for (; entry != entry.end(); ++entry) {
        Predicate::Iterator part(entry);
        if (!predicate.DescentList(part)) {
            continue;
        }
        std::string partName;
        if (!predicate.GetValue(part, partName)) {
            return;
        }

        if (partName == "pol") {
            // A player seen as a single point.
            Predicate::Iterator pos(part);
            ++pos;
            Vector3f ignored;
            predicate.AdvanceValue(pos, ignored);
            std::cout << "PARSER ERROR!" << std::endl;
        }

        if (player == OBJECT_MAX) {
            continue;
        }

        Vector3f pol;
        if (partName == "head") {
            if (predicate.GetValue(part, "pol", pol)) {
                VisionSense sense;
                sense.distance = pol.x();
                sense.theta = pol.y();
                sense.phi = pol.z();
                WM->setObjectVision(player, sense);
            }
            continue;
        }

        double VisionSense::*distance = nullptr;
        double VisionSense::*theta = nullptr;
        double VisionSense::*phi = nullptr;
        if (partName == "rlowerarm") {
            distance = &VisionSense::distanceFromRightArm;
            theta = &VisionSense::thetaFromRightArm;
            phi = &VisionSense::phiFromRightArm;
        } else if (partName == "llowerarm") {
            distance = &VisionSense::distanceFromLeftArm;
            theta = &VisionSense::thetaFromLeftArm;
            phi = &VisionSense::phiFromLeftArm;
        } else if (partName == "rfoot") {
            distance = &VisionSense::distanceFromRightFoot;
            theta = &VisionSense::thetaFromRightFoot;
            phi = &VisionSense::phiFromRightFoot;
        } else if (partName == "lfoot") {
            distance = &VisionSense::distanceFromLeftFoot;
            theta = &VisionSense::thetaFromLeftFoot;
            phi = &VisionSense::phiFromLeftFoot;
        } else {
            continue;
        }
        // A part without a readable position leaves the record as it was.
        if (predicate.GetValue(part, "pol", pol)) {
            VisionSense& record = WM->mObjectToVisionMap[player];
            record.*distance = pol.x();
            record.*theta = pol.y();
            record.*phi = pol.z();
        }
    }
}

void Parser::landmarkVisionEvent(const std::string& name, const VisionSense& sense,
                                 const char* error) {
    const TStringToObjectMap::const_iterator it = Types::mStringToObjectMap.find(name.substr(0, 3));
    if (it == Types::mStringToObjectMap.end()) {
        std::cout << error << std::endl;
        return;
    }
    WM->setObjectVision(it->second, sense);
}

void Parser::flagVisionEvent(const std::string& name, const VisionSense& sense) {
    landmarkVisionEvent(name, sense, "Flag sense error");
}

void Parser::goalVisionEvent(const std::string& name, const VisionSense& sense) {
    landmarkVisionEvent(name, sense, "Goal sense error");
}

void Parser::ballVisionEvent(const VisionSense& sense) {
    const TStringToObjectMap::const_iterator it = Types::mStringToObjectMap.find("B");
    if (it == Types::mStringToObjectMap.end()) {
        std::cout << "Ball sense error" << std::endl;
        return;
    }
    WM->setObjectVision(it->second, sense);
}

void Parser::GYREvent(const Vector3f& rates) {
    WM->setGyro(rates);
}

void Parser::ACCEvent(const Vector3f& acc) {
    WM->setAcc(acc);
}

void Parser::FRPEvent(const std::string& id, const FRPSense& sense) {
    if (id == "lf") {
        WM->setLeftFootForce(sense);
    } else if (id == "rf") {
        WM->setRightFootForce(sense);
    }
}

void Parser::TCHEvent(const std::string& id, int value) {
    if (id == "lf") {
        WM->setLeftTouchVal(value);
    } else if (id == "rf") {
        WM->setRightTouchVal(value);
    }
}
