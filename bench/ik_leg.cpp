// One leg inverse-kinematics solution (analytic start, numerical refinement)
// for a walking pose of each leg.
#include <benchmark/benchmark.h>

#include "CallTimes.h"
#include "Effector/Kinematic.h"
#include "WorldModel/WorldModel.h"

namespace {

struct LegTarget {
    Matrix torso;
    Matrix foot;
};

// Torso leaning 10 degrees forward; the foot body-centre pose reached by a
// mid-stride set of joint angles.
LegTarget makeTarget(Kinematic* kin, bool left) {
    LegTarget target;
    target.torso.RotationX(gDegToRad(-10.0f));
    target.torso.Pos() = Vector3f(0.0f, 0.0f, 0.3f);
    boost::shared_array<Link> links = kin->getLink();
    links[JID_ROOT_].R = target.torso;
    links[JID_ROOT_].p = target.torso.Pos();
    const float angles[6] = {gDegToRad(5.0f),  gDegToRad(left ? -4.0f : 4.0f),
                             gDegToRad(25.0f), gDegToRad(-55.0f),
                             gDegToRad(30.0f), gDegToRad(left ? 4.0f : -4.0f)};
    const int first = left ? JID_LLEG_1_ : JID_RLEG_1_;
    for (int i = 0; i < 6; ++i) {
        links[first + 2 * i].q = angles[i];
    }
    kin->forwardKinematics(JID_ROOT_);
    const Link& foot = links[first + 10];
    target.foot = foot.R;
    target.foot.Pos() = foot.p + foot.R.Rotate(foot.c);
    target.foot(3, 3) = 1.0f;
    return target;
}

void BM_IkLeg(benchmark::State& state) {
    const bool left = state.range(0) == 1;
    WorldModel::instance();
    Kinematic* kin = Kinematic::instance();
    kin->init();
    const LegTarget target = makeTarget(kin, left);
    tovra_bench::CallTimes times(tovra_bench::CallTimes::kWithCpu);
    for (auto _ : state) {
        auto call = times.call();
        const bool ok = kin->IK_leg(target.torso, target.foot, left);
        benchmark::DoNotOptimize(ok);
        if (!ok) {
            state.SkipWithError("no solution");
            break;
        }
    }
    times.report(state);
    state.SetLabel(left ? "left leg" : "right leg");
}

}  // namespace

BENCHMARK(BM_IkLeg)->Arg(1)->Arg(0)->Repetitions(9)->ReportAggregatesOnly(true);
