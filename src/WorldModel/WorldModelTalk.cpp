// Team talk: the encoder and decoder of the 17-byte teammate messages.
//
// Layout: byte 0 '|' (standing) or '~' (fallen), byte 1 the sender's uniform
// number, byte 2 the type. Type 0, position report: own x and y (3-6), own
// localization time (7-9), ball x and y (10-13), ball time (14-16). Type 1,
// ball-distance report: distance to the ball (3-4), time seen (5-7), spaces.

#include <iostream>

#include "WorldModel/TalkCodec.h"
#include "WorldModel/WorldModel.h"

namespace {

const char kStanding = '|';
const char kFallen = '~';
const int kPositionReport = 0;
const int kBallDistanceReport = 1;

// Own localization older than 0.06 s: report the ball distance instead.
const double kStaleForPosition = 9.94;
// Own localization older than 0.3 s: heard messages cannot be placed.
const double kStaleForHearing = 9.7;

}  // namespace

std::string WorldModel::getSayEncoded() const {
    std::string msg(TalkCodec::kMessageLength, ' ');
    msg[0] = getIsObjectFallDown(getMyObject()) ? kFallen : kStanding;
    TalkCodec::putDigit(unum, msg, 1);
    if (getGlobalConfidence() <= kStaleForPosition && getLocalConfidence(BALL) == 10.0) {
        const VisionSense ball = getObjectVision(BALL);
        TalkCodec::putDigit(kBallDistanceReport, msg, 2);
        TalkCodec::encodeDistance(ball.distance, msg, 3);
        TalkCodec::encodeTime(ball.timeLastSeen, msg, 5);
        return msg;
    }
    const Vector3f ball = getBallPos();
    TalkCodec::putDigit(kPositionReport, msg, 2);
    TalkCodec::encodeCoordinate(mMyPos.x(), msg, 3);
    TalkCodec::encodeCoordinate(mMyPos.y(), msg, 5);
    TalkCodec::encodeTime(getObjectVision(getMyObject()).timeLastLocalized, msg, 7);
    TalkCodec::encodeCoordinate(ball.x(), msg, 10);
    TalkCodec::encodeCoordinate(ball.y(), msg, 12);
    TalkCodec::encodeTime(getObjectVision(BALL).timeLastLocalized, msg, 14);
    return msg;
}

void WorldModel::getSayDecoded() {
    const std::string& msg = mComStr;
    if (msg.size() < TalkCodec::kHeaderLength || (msg[0] != kStanding && msg[0] != kFallen)) {
        return;
    }
    if (getGlobalConfidence() < kStaleForHearing) {
        return;
    }
    // Only a teammate's number names a sender; anything else would write a
    // record that belongs to no teammate.
    const int number = TalkCodec::getDigit(msg, 1);
    if (number < 1 || number > numPlayers) {
        return;
    }
    const Object sender = getOurPlayer(number);
    if (sender == getMyObject()) {
        return;
    }
    const int type = TalkCodec::getDigit(msg, 2);
    if ((type == kPositionReport && msg.size() < TalkCodec::kMessageLength) ||
        (type == kBallDistanceReport && msg.size() < TalkCodec::kBallDistanceLength)) {
        return;
    }

    setIsObjectFallDown(sender, msg[0] == kFallen);

    if (type == kPositionReport) {
        const double senderTime = TalkCodec::decodeTime(msg, 7);
        if (getGlobalConfidence(sender) < 10 - (mServerTime - senderTime)) {
            VisionSense& entry = mObjectToVisionMap[sender];
            entry.globalPos = Vector3f(static_cast<float>(TalkCodec::decodeCoordinate(msg, 3)),
                                       static_cast<float>(TalkCodec::decodeCoordinate(msg, 5)), 0);
            entry.timeLastLocalized = senderTime;
        }
        const double ballTime = TalkCodec::decodeTime(msg, 14);
        if (getGlobalConfidence(BALL) < 10 - (mServerTime - ballTime)) {
            VisionSense& entry = mObjectToVisionMap[BALL];
            entry.globalPos = Vector3f(static_cast<float>(TalkCodec::decodeCoordinate(msg, 10)),
                                       static_cast<float>(TalkCodec::decodeCoordinate(msg, 12)), 0);
            entry.timeLastLocalized = ballTime;
        }
    } else if (type == kBallDistanceReport) {
        sayDistanceToBallInfo& info = playerDistanceToBall[sender - BALL];
        info.distance = TalkCodec::decodeDistance(msg, 3);
        info.seeTime = TalkCodec::decodeTime(msg, 5);
    } else {
        std::cout << "in WorldModel::getSayDecoded ERROR" << std::endl;
    }
}
