#ifndef TOVRA_WORLDMODEL_LOCALIZATION_H
#define TOVRA_WORLDMODEL_LOCALIZATION_H

#include "WorldModel/Types.h"

class WorldModel;

// Works out, once per cycle, the agent's own global position and body
// heading from the landmarks seen in the current message, then the global
// positions of the ball and of every player seen in it. Only landmarks seen
// now count: with fewer than two nothing is recomputed and the last pose
// stands.
//
// The landmark table is mirrored for the right side, so both sides see their
// own goal at x = -15. Positions come from two-landmark trilateration over
// every pair at the same end of the field; the heading is the mean of the
// per-landmark torso headings.
class Localization {
public:
    static Localization* instance();
    static void deleteT();

    // The per-cycle entry point.
    void localize();

    // Sets the global positions of the eight landmarks for the own side.
    void setupObjectToVisionMap();
    // At least two of the eight landmarks seen in the current message.
    bool canSeeTwoFlags() const;
    void localizeWithTwoFlags();

    // The mean of every valid same-end pair, or the previous estimate.
    Vector3f getMyPosWithTwoFlagsGeometric();
    Vector3f myPosWithEveryTwoFlagsGeometric();
    // Trilateration from landmarks a and b; NaN components when the observed
    // distances admit no position.
    Vector3f myPosWithTwoFlagsGeometric(Object a, Object b) const;
    // The angle (radians) at the corner between the sides adjacent and other
    // of a triangle with the sides base, adjacent and opposite.
    double getCAng(double base, double adjacent, double opposite) const;

    // Camera height above the ground: from the leg of a foot whose force is
    // near vertical, else 0.55.
    double getMyZ() const;
    double zFromLFoot() const;
    double zFromRFoot() const;

    // The mean torso heading, or the last valid one.
    double getMyThetaWithTwoFlag();
    // The mean torso heading from the landmarks seen now, or -10000.
    double myThetaWithEveryTwoFlag() const;
    // The torso heading (degrees) implied by landmark f seen from position P.
    double calcTheta(Object f, const Vector3f& P) const;

    // Global positions of the ball and the players seen now.
    void getOtherGlobalPosbyMyAngle();

    Vector3f getMyPos() const { return mMyPos; }
    double getMyAngle() const { return mMyAngle; }
    double getLastLocalize() const { return mLastLocalize; }

private:
    Localization();
    Localization(const Localization&) = delete;
    Localization& operator=(const Localization&) = delete;

    // Landmark seen in the current message.
    bool isSeenNow(Object obj) const;
    // Camera height above the sole from one leg's six joint angles.
    double zFromLeg(JointID j1, JointID j2, JointID j3, JointID j4, JointID j5, JointID j6) const;

    static Localization* handleT;

    // Ball motion from the camera-pose solution of three landmarks, which
    // never runs while two-landmark trilateration is possible; kept at rest.
    Vector2f mBallVel;
    Vector2f mOldBallPos;
    [[maybe_unused]] double mBallTimeLastSeen;
    WorldModel* WM;
    Vector3f mMyPos;
    double mMyAngle;
    Matrix R;
    double mLastLocalize;
    // Kept across cycles: the last averaged position and the last valid heading.
    Vector3f mPosEstimate;
    double mThetaEstimate;
};

#endif
