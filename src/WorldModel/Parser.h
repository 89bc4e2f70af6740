#ifndef TOVRA_WORLDMODEL_PARSER_H
#define TOVRA_WORLDMODEL_PARSER_H

#include <string>

#include "WorldModel/Types.h"
#include "oxygen/predicate.h"

class SexpParser;
class WorldModel;

// Reads one perceptor message and stores its raw readings in the world
// model: distances in metres, angles in degrees, rates in degrees per second
// and times in seconds, exactly as the server sent them. Nothing is kept
// between messages.
class Parser {
public:
    Parser();
    ~Parser();
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // Advances the effector's cycle, makes sure the kinematic model exists,
    // then hands each perceptor of the message to its handler.
    void doParse(const std::string& message);

    // One handler per perceptor.
    void parseTime(const oxygen::Predicate& predicate);
    void parseGameState(const oxygen::Predicate& predicate);
    void parseGYR(const oxygen::Predicate& predicate);
    void parseACC(const oxygen::Predicate& predicate);
    void parseHingeJointInfo(const oxygen::Predicate& predicate);
    void parseFRP(const oxygen::Predicate& predicate);
    void parseTCH(const oxygen::Predicate& predicate);
    void parseObjectVision(const oxygen::Predicate& predicate);
    void parseHearInfo(const oxygen::Predicate& predicate);
    // One player entry of the vision perceptor; `entry` is on its name.
    void parsePlayerInfo(const oxygen::Predicate& predicate, oxygen::Predicate::Iterator entry);

    // Hand one reading to the world model.
    void flagVisionEvent(const std::string& name, const VisionSense& sense);
    void goalVisionEvent(const std::string& name, const VisionSense& sense);
    void ballVisionEvent(const VisionSense& sense);
    void GYREvent(const Vector3f& rates);
    void ACCEvent(const Vector3f& acc);
    void FRPEvent(const std::string& id, const FRPSense& sense);
    void TCHEvent(const std::string& id, int value);

private:
    // The landmark whose name is the first three characters of `name`.
    void landmarkVisionEvent(const std::string& name, const VisionSense& sense, const char* error);

    WorldModel* WM;
    SexpParser* mParser;
};

#endif
