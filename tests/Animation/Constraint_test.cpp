#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Animation/IkConstraint.h"
#include "Animation/PathConstraint.h"
#include "Animation/SkeletonTestSupport.h"
#include "Animation/VertexAttachment.h"

using namespace skeleton_test;

namespace {

void ExpectFinitePose(const Skeleton* skeleton)
{
    for (const auto& bone : skeleton->bones)
        for (float v : {bone->a, bone->b, bone->c, bone->d, bone->worldX, bone->worldY})
            EXPECT_TRUE(std::isfinite(v)) << bone->data->name;
}

float Distance(Point p, float x, float y) { return std::hypot(p.x - x, p.y - y); }

// upper (length 10) and lower (at 10, length 10) under a root at the origin,
// or with upper as the root; a separate target bone; one two-bone constraint.
struct Arm {
    SkeletonData data;
    BoneData *upper, *lower, *target;
    IkConstraintData* ik;
    explicit Arm(bool upperIsRoot = false)
    {
        BoneData* root = upperIsRoot ? nullptr : AddBone(data, "root", nullptr);
        upper = AddBone(data, "upper", root, 0, 0, 0, 10);
        lower = AddBone(data, "lower", upper, 10, 0, 0, 10);
        target = AddBone(data, "target", root);
        ik = SkeletonData_AddIkConstraint(&data, "ik");
        ik->bones = {upper, lower};
        ik->target = target;
    }
    SkeletonPtr Pose(float tx, float ty)
    {
        target->x = tx, target->y = ty;
        SkeletonPtr skeleton = MakeSkeleton(data);
        Skeleton_ComputeWorldTransforms(skeleton.get());
        ExpectFinitePose(skeleton.get());
        return skeleton;
    }
    static Point Tip(const Skeleton* skeleton) { return LocalPoint(skeleton->bones[skeleton->bones.size() == 4 ? 2 : 1].get(), 10, 0); }
    static const Bone* Lower(const Skeleton* skeleton) { return skeleton->bones[skeleton->bones.size() == 4 ? 2 : 1].get(); }
};

} // namespace

TEST(IkConstraints, TwoBonesReachAReachableTargetWithTheElbowOnTheBendSide)
{
    for (bool upperIsRoot : {false, true}) {
        for (bool yDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << "upper is root " << upperIsRoot << ", y down " << yDown);
            YDownGuard guard;
            Bone_SetYDown(yDown);
            float side[2];
            for (int bend : {1, -1}) {
                Arm arm(upperIsRoot);
                arm.ik->bendDirection = bend;
                SkeletonPtr skeleton = arm.Pose(12, 5);
                const Bone* target = Skeleton_FindBone(skeleton.get(), "target");
                EXPECT_LT(Distance(Arm::Tip(skeleton.get()), target->worldX, target->worldY), 1e-3f);
                const Bone* elbow = Arm::Lower(skeleton.get());
                side[bend > 0] = elbow->worldX * target->worldY - elbow->worldY * target->worldX;
            }
            EXPECT_LT(side[0] * side[1], 0) << "the two bend directions put the elbow on the same side";
        }
    }
}

TEST(IkConstraints, AnUnreachableTargetGetsTheNearestReachablePoint)
{
    Arm arm;
    SkeletonPtr skeleton = arm.Pose(30, 40);
    const Point tip = Arm::Tip(skeleton.get());
    EXPECT_NEAR(tip.x, 12, 1e-3f);
    EXPECT_NEAR(tip.y, 16, 1e-3f);
}

TEST(IkConstraints, MixZeroLeavesThePoseAsTheBonesOwnValuesMakeIt)
{
    Arm arm;
    arm.upper->rotation = 20;
    arm.lower->rotation = -35;
    arm.ik->mix = 0;
    SkeletonPtr constrained = arm.Pose(3, 17);
    arm.data.ikConstraints.clear();
    SkeletonPtr free = arm.Pose(3, 17);
    for (size_t i = 0; i < free->bones.size(); ++i) {
        const Bone *c = constrained->bones[i].get(), *f = free->bones[i].get();
        EXPECT_FLOAT_EQ(c->a, f->a);
        EXPECT_FLOAT_EQ(c->c, f->c);
        EXPECT_FLOAT_EQ(c->worldX, f->worldX);
        EXPECT_FLOAT_EQ(c->worldY, f->worldY);
    }
}

TEST(IkConstraints, ANonUniformlyScaledParentPutsTheChildOnItsAxisAndStillReaches)
{
    Arm arm;
    arm.upper->scaleX = 2;
    arm.lower->x = 5;
    arm.lower->y = 3;  // not used while the parent's scale is not uniform
    SkeletonPtr skeleton = arm.Pose(8, 9);
    const Bone* upper = skeleton->bones[1].get();
    const Bone* lower = Arm::Lower(skeleton.get());
    const Point axis = LocalPoint(upper, 5, 0);
    EXPECT_NEAR(lower->worldX, axis.x, 1e-4f);
    EXPECT_NEAR(lower->worldY, axis.y, 1e-4f);
    EXPECT_LT(Distance(Arm::Tip(skeleton.get()), 8, 9), 1e-3f);

    // Out of reach: the farthest pose, pointing straight at the target.
    skeleton = arm.Pose(60, 80);
    const Point tip = Arm::Tip(skeleton.get());
    EXPECT_NEAR(tip.x * 80 - tip.y * 60, 0, 1e-2f);
    EXPECT_GT(tip.x, 0);
}

TEST(IkConstraints, OneBoneOnARootTurnsItTowardsTheTarget)
{
    for (bool yDown : {false, true}) {
        SCOPED_TRACE(yDown);
        YDownGuard guard;
        Bone_SetYDown(yDown);
        SkeletonData data;
        BoneData* root = AddBone(data, "root", nullptr, 5, 5, 0, 10);
        BoneData* aim = AddBone(data, "aim", nullptr, 5, 15);
        IkConstraintData* ik = SkeletonData_AddIkConstraint(&data, "ik");
        ik->bones = {root};
        ik->target = aim;
        SkeletonPtr skeleton = MakeSkeleton(data);
        Skeleton_ComputeWorldTransforms(skeleton.get());
        const Bone* bone = skeleton->root;
        const float sign = yDown ? -1.0f : 1.0f;
        EXPECT_NEAR(bone->a, 0, 1e-4f);
        EXPECT_NEAR(bone->c, sign, 1e-4f);
    }
}

TEST(IkConstraints, CollapsedBonesGiveAFinitePose)
{
    // A parent scaled to nothing has no inverse; a child at its parent's
    // origin or of no length leaves the solver without a triangle.
    struct Case {
        const char* what;
        float upperScale, lowerX, lowerLength;
    };
    for (const Case& c : {Case{"parent scale 0", 0, 10, 10}, Case{"child at the origin", 1, 0, 10}, Case{"child of no length", 1, 10, 0},
                          Case{"non-uniform, no length", 2, 10, 0}}) {
        SCOPED_TRACE(c.what);
        Arm arm;
        arm.upper->scaleX = c.upperScale;
        if (c.upperScale == 0) arm.upper->scaleY = 0;
        arm.lower->x = c.lowerX;
        arm.lower->length = c.lowerLength;
        arm.Pose(12, 5);
        arm.Pose(0, 0);
    }
    {
        SkeletonData data;
        BoneData* root = AddBone(data, "root", nullptr);
        root->scaleX = root->scaleY = 0;
        BoneData* child = AddBone(data, "child", root, 1, 1, 0, 5);
        IkConstraintData* ik = SkeletonData_AddIkConstraint(&data, "ik");
        ik->bones = {child};
        ik->target = AddBone(data, "target", nullptr, 3, 3);
        SkeletonPtr skeleton = MakeSkeleton(data);
        Skeleton_ComputeWorldTransforms(skeleton.get());
        ExpectFinitePose(skeleton.get());
    }
}

namespace {

struct Follower {
    SkeletonData data;
    TransformConstraintData* constraint;
    Follower()
    {
        BoneData* root = AddBone(data, "root", nullptr);
        AddBone(data, "follower", root, 1, 1, -10);
        BoneData* leader = AddBone(data, "leader", root, 10, 5, 30);
        leader->scaleX = leader->scaleY = 2;
        constraint = SkeletonData_AddTransformConstraint(&data, "follow");
        constraint->bones = {data.bones[1].get()};
        constraint->target = leader;
    }
    SkeletonPtr Pose()
    {
        SkeletonPtr skeleton = MakeSkeleton(data);
        Skeleton_ComputeWorldTransforms(skeleton.get());
        return skeleton;
    }
};

} // namespace

TEST(TransformConstraints, MixesPullTowardsTheTargetAndZeroMixesChangeNothing)
{
    Follower follower;
    SkeletonPtr skeleton = follower.Pose();
    const Bone* bone = skeleton->bones[1].get();
    const float cs = std::cos(-10 * 0.017453292f), sn = std::sin(-10 * 0.017453292f);
    EXPECT_NEAR(bone->a, cs, 1e-5f);
    EXPECT_NEAR(bone->c, sn, 1e-5f);
    EXPECT_NEAR(bone->worldX, 1, 1e-5f);

    // Rotation and position with offsets: turned 90 degrees past the
    // leader, at the leader's local point (2, 0).
    follower.constraint->rotateMix = follower.constraint->translateMix = 1;
    follower.constraint->offsetRotation = 90;
    follower.constraint->offsetX = 2;
    skeleton = follower.Pose();
    bone = skeleton->bones[1].get();
    const float r = 120 * 0.017453292f;
    EXPECT_NEAR(bone->a, std::cos(r), 1e-5f);
    EXPECT_NEAR(bone->c, std::sin(r), 1e-5f);
    EXPECT_NEAR(bone->worldX, 10 + 4 * std::cos(30 * 0.017453292f), 1e-4f);
    EXPECT_NEAR(bone->worldY, 5 + 4 * std::sin(30 * 0.017453292f), 1e-4f);

    // Everything at 1 without offsets: the leader's whole transform.
    *follower.constraint = TransformConstraintData{"follow", follower.constraint->bones, follower.constraint->target, 1, 1, 1, 1};
    skeleton = follower.Pose();
    bone = skeleton->bones[1].get();
    const Bone* leader = skeleton->bones[2].get();
    EXPECT_NEAR(bone->a, leader->a, 1e-5f);
    EXPECT_NEAR(bone->b, leader->b, 1e-5f);
    EXPECT_NEAR(bone->c, leader->c, 1e-5f);
    EXPECT_NEAR(bone->d, leader->d, 1e-5f);
}

namespace {

// A straight path from (0, 0) to (100, 0) on the root's slot, and a chain of
// four bones turned away from it.
struct Rail {
    SkeletonData data;
    PathConstraintData* constraint;
    PathAttachment* path;
    Rail()
    {
        BoneData* root = AddBone(data, "root", nullptr);
        BoneData* parent = root;
        for (const char* name : {"b0", "b1", "b2", "b3"}) parent = AddBone(data, name, parent, parent == root ? 0 : 15, 0, 45, 15);
        SlotData* slot = SkeletonData_AddSlot(&data, "rail", root);
        SlotData_SetAttachmentName(slot, "rail");
        path = AddAttachment<PathAttachment>(SkeletonData_AddSkin(&data, "default"), 0, "rail");
        SetVertices({-10, 0, 0, 0, 100 / 3.0f, 0, 200 / 3.0f, 0, 100, 0, 110, 0});
        path->lengths = {100, 200};
        constraint = SkeletonData_AddPathConstraint(&data, "along");
        for (size_t i = 1; i <= 4; ++i) constraint->bones.push_back(data.bones[i].get());
        constraint->target = slot;
        constraint->rotateMode = ROTATE_MODE_CHAIN;
        constraint->spacingMode = SPACING_MODE_FIXED;
        constraint->rotateMix = constraint->translateMix = 1;
    }
    void SetVertices(const std::vector<float>& values)
    {
        std::string error;
        ASSERT_TRUE(VertexAttachment_ReadVertices(path, values.data(), values.size(), static_cast<int32_t>(values.size()), 1, &error));
    }
    SkeletonPtr Pose()
    {
        SkeletonPtr skeleton = MakeSkeleton(data);
        skeleton->x = 3, skeleton->y = -2;
        Skeleton_ComputeWorldTransforms(skeleton.get());
        ExpectFinitePose(skeleton.get());
        return skeleton;
    }
};

} // namespace

TEST(PathConstraints, BonesAlongAStraightPathAreSpacedEvenlyAndTurnedAlongIt)
{
    struct Case {
        const char* what;
        bool constantSpeed, closed;
        PositionMode positionMode;
        SpacingMode spacingMode;
        float position, spacing;
        std::vector<float> x;
    };
    const std::vector<Case> cases = {
        {"constant speed", true, false, POSITION_MODE_FIXED, SPACING_MODE_FIXED, 10, 20, {10, 30, 50, 70}},
        {"stored lengths", false, false, POSITION_MODE_FIXED, SPACING_MODE_FIXED, 10, 20, {10, 30, 50, 70}},
        {"percentages", true, false, POSITION_MODE_PERCENT, SPACING_MODE_PERCENT, 0.5f, 0.1f, {50, 60, 70, 80}},
        {"bone lengths", true, false, POSITION_MODE_FIXED, SPACING_MODE_LENGTH, 1, 5, {1, 21, 41, 61}},
        {"before the start", true, false, POSITION_MODE_FIXED, SPACING_MODE_FIXED, -30, 20, {-30, -10, 10, 30}},
        {"past the end", false, false, POSITION_MODE_FIXED, SPACING_MODE_FIXED, 60, 20, {60, 80, 100, 120}},
        {"closed, wrapped", false, true, POSITION_MODE_FIXED, SPACING_MODE_FIXED, 210, 20, {10, 30, 50, 70}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rail rail;
        rail.path->constantSpeed = c.constantSpeed;
        rail.path->closed = c.closed;
        rail.constraint->positionMode = c.positionMode;
        rail.constraint->spacingMode = c.spacingMode;
        rail.constraint->position = c.position;
        rail.constraint->spacing = c.spacing;
        SkeletonPtr skeleton = rail.Pose();
        for (size_t i = 0; i < 4; ++i) {
            const Bone* bone = skeleton->bones[i + 1].get();
            EXPECT_NEAR(bone->worldX, c.x[i], 1e-2f) << "bone " << i;
            EXPECT_NEAR(bone->worldY, 0, 1e-3f) << "bone " << i;
            EXPECT_NEAR(bone->a, 1, 1e-3f) << "bone " << i;
            EXPECT_NEAR(bone->c, 0, 1e-3f) << "bone " << i;
        }
    }
}

TEST(PathConstraints, NoPathOrACollapsedPathLeavesAFinitePose)
{
    Rail rail;
    rail.data.slots[0]->hasAttachmentName = false;
    SkeletonPtr skeleton = rail.Pose();
    EXPECT_NEAR(skeleton->bones[1]->c, std::sin(45 * 0.017453292f), 1e-5f);

    for (bool constantSpeed : {true, false}) {
        Rail collapsed;
        collapsed.SetVertices(std::vector<float>(12, 5.0f));
        collapsed.path->lengths = {0, 0};
        collapsed.path->constantSpeed = constantSpeed;
        collapsed.constraint->positionMode = POSITION_MODE_PERCENT;
        collapsed.constraint->spacingMode = SPACING_MODE_PERCENT;
        collapsed.constraint->position = 0.5f;
        collapsed.Pose();
        collapsed.path->closed = true;
        collapsed.Pose();
    }
}
