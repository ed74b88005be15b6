#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Animation/SkeletonTestSupport.h"

using namespace skeleton_test;

namespace {

void ExpectWorld(const Bone* bone, float a, float b, float c, float d, float worldX, float worldY)
{
    SCOPED_TRACE(bone->data->name);
    EXPECT_NEAR(bone->a, a, 1e-4f);
    EXPECT_NEAR(bone->b, b, 1e-4f);
    EXPECT_NEAR(bone->c, c, 1e-4f);
    EXPECT_NEAR(bone->d, d, 1e-4f);
    EXPECT_NEAR(bone->worldX, worldX, 1e-4f);
    EXPECT_NEAR(bone->worldY, worldY, 1e-4f);
}

} // namespace

TEST(SkeletonPose, AChainUnderRotationScaleAndShearGetsTheWorldTransformsWorkedOutByHand)
{
    SkeletonData data;
    BoneData* root = AddBone(data, "root", nullptr, 10, 20, 90);
    root->scaleX = 2;
    BoneData* mid = AddBone(data, "mid", root, 5, 0, -90);
    mid->scaleY = 3;
    BoneData* tip = AddBone(data, "tip", mid, 2, 1);
    tip->shearX = 90;
    SkeletonPtr skeleton = MakeSkeleton(data);
    Skeleton_ComputeWorldTransforms(skeleton.get());

    ExpectWorld(skeleton->bones[0].get(), 0, -1, 2, 0, 10, 20);
    ExpectWorld(skeleton->bones[1].get(), 1, 0, 0, 6, 10, 30);
    // Sheared 90 degrees in x, both axes of the tip point the same way.
    ExpectWorld(skeleton->bones[2].get(), 0, 0, 6, 6, 12, 36);
    EXPECT_EQ(skeleton->root, skeleton->bones[0].get());
}

TEST(SkeletonPose, FlipsAndTheYDownSwitchMirrorTheRoot)
{
    YDownGuard guard;
    SkeletonData data;
    AddBone(data, "root", nullptr, 3, 4);
    AddBone(data, "child", data.bones[0].get(), 1, 1);
    SkeletonPtr skeleton = MakeSkeleton(data);
    struct Case {
        bool yDown, flipX, flipY;
        float a, d, worldX, worldY, childX, childY;
    };
    const Case cases[] = {
        {false, false, false, 1, 1, 3, 4, 4, 5},
        {true, false, false, 1, -1, 3, -4, 4, -5},
        {true, false, true, 1, 1, 3, 4, 4, 5},
        {false, true, false, -1, 1, -3, 4, -4, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "yDown " << c.yDown << " flipX " << c.flipX << " flipY " << c.flipY);
        Bone_SetYDown(c.yDown);
        skeleton->flipX = c.flipX, skeleton->flipY = c.flipY;
        Skeleton_ComputeWorldTransforms(skeleton.get());
        ExpectWorld(skeleton->bones[0].get(), c.a, 0, 0, c.d, c.worldX, c.worldY);
        ExpectWorld(skeleton->bones[1].get(), c.a, 0, 0, c.d, c.childX, c.childY);
    }
}

TEST(SkeletonPose, BonesThatDropInheritedRotationOrScaleFollowOnlyWhatTheyKeep)
{
    SkeletonData data;
    BoneData* root = AddBone(data, "root", nullptr, 0, 0, 30);
    root->scaleX = 2;
    BoneData* mid = AddBone(data, "mid", root, 0, 0, 20);
    mid->scaleX = mid->scaleY = 3;
    mid->inheritRotation = false;
    // Keeps rotation: turns with mid, which itself ignores root's turn; no scale.
    BoneData* rotationOnly = AddBone(data, "rotationOnly", mid, 0, 0, 10);
    rotationOnly->inheritScale = false;
    // Keeps scale: takes root's scale along world axes, without its turn.
    BoneData* scaleRoot = AddBone(data, "scaleRoot", nullptr, 0, 0, 90);
    scaleRoot->scaleX = 2, scaleRoot->scaleY = 3;
    BoneData* scaleOnly = AddBone(data, "scaleOnly", scaleRoot);
    scaleOnly->inheritRotation = false;
    SkeletonPtr skeleton = MakeSkeleton(data);
    Skeleton_ComputeWorldTransforms(skeleton.get());

    const float cs = std::cos(30 * 0.017453292f), sn = std::sin(30 * 0.017453292f);
    ExpectWorld(skeleton->bones[2].get(), cs, -sn, sn, cs, 0, 0);
    ExpectWorld(skeleton->bones[4].get(), 3, 0, 0, 2, 0, 0);
}

TEST(SkeletonUpdateOrder, ConstraintsComeByLevelAndTheTwoBoneChildHasNoEntry)
{
    SkeletonData data;
    BoneData* root = AddBone(data, "root", nullptr);
    BoneData* upper = AddBone(data, "upper", root);
    BoneData* lower = AddBone(data, "lower", upper);
    BoneData* hand = AddBone(data, "hand", lower);
    BoneData* side = AddBone(data, "side", root);
    BoneData* sideTip = AddBone(data, "sideTip", side);
    BoneData* tail = AddBone(data, "tail", root);
    IkConstraintData* first = SkeletonData_AddIkConstraint(&data, "first");  // level 1
    first->bones = {side};
    first->target = root;
    IkConstraintData* second = SkeletonData_AddIkConstraint(&data, "second");  // level 1, so before "first"
    second->bones = {upper, lower};
    second->target = sideTip;
    IkConstraintData* deep = SkeletonData_AddIkConstraint(&data, "deep");  // level 3
    deep->bones = {hand};
    deep->target = root;
    TransformConstraintData* transform = SkeletonData_AddTransformConstraint(&data, "transform");
    transform->bones = {tail};
    transform->target = hand;
    SkeletonPtr skeleton = MakeSkeleton(data);

    std::vector<std::string> order;
    for (const UpdateEntry& entry : skeleton->updateOrder) {
        switch (entry.kind) {
        case UPDATE_BONE: order.push_back(static_cast<Bone*>(entry.object)->data->name); break;
        case UPDATE_IK_CONSTRAINT: order.push_back("ik:" + static_cast<IkConstraint*>(entry.object)->data->name); break;
        case UPDATE_TRANSFORM_CONSTRAINT: order.push_back("transform:" + static_cast<TransformConstraint*>(entry.object)->data->name); break;
        case UPDATE_PATH_CONSTRAINT: order.push_back("path"); break;
        }
    }
    // sideTip is posed again after "first" turns its parent.
    const std::vector<std::string> expected = {"root", "side", "sideTip", "upper", "ik:second", "ik:first",
                                               "hand", "ik:deep", "tail", "transform:transform", "sideTip"};
    EXPECT_EQ(order, expected);
    ASSERT_EQ(skeleton->ikConstraintsSorted.size(), 3u);
    EXPECT_EQ(skeleton->ikConstraintsSorted[0]->data, second);
    EXPECT_EQ(skeleton->ikConstraintsSorted[2]->level, 3);
}

TEST(SkeletonUpdateOrder, AnEmptySkeletonHasNoRootAndNothingToPose)
{
    SkeletonData data;
    SkeletonPtr skeleton = MakeSkeleton(data);
    EXPECT_EQ(skeleton->root, nullptr);
    EXPECT_TRUE(skeleton->updateOrder.empty());
    Skeleton_ComputeWorldTransforms(skeleton.get());
}

namespace {

// Slots "head" (setup "face") and "hand" (setup "glove"); the default skin
// has only a face, skin "blue" both, skin "red" only a face.
struct SkinnedData {
    SkeletonData data;
    Attachment *defaultFace, *blueFace, *blueGlove, *redFace, *defaultHat;
    SkinnedData()
    {
        BoneData* root = AddBone(data, "root", nullptr);
        SlotData_SetAttachmentName(SkeletonData_AddSlot(&data, "head", root), "face");
        SlotData_SetAttachmentName(SkeletonData_AddSlot(&data, "hand", root), "glove");
        Skin* defaultSkin = SkeletonData_AddSkin(&data, "default");
        defaultFace = AddAttachment<RegionAttachment>(defaultSkin, 0, "face");
        defaultHat = AddAttachment<RegionAttachment>(defaultSkin, 0, "hat");
        Skin* blue = SkeletonData_AddSkin(&data, "blue");
        blueFace = AddAttachment<RegionAttachment>(blue, 0, "face");
        blueGlove = AddAttachment<RegionAttachment>(blue, 1, "glove");
        Skin* red = SkeletonData_AddSkin(&data, "red");
        redFace = AddAttachment<RegionAttachment>(red, 0, "face");
    }
};

} // namespace

TEST(SkeletonSkins, SettingSkinsReplacesOnlyWhatTheRuleSays)
{
    SkinnedData skinned;
    SkeletonPtr skeleton = MakeSkeleton(skinned.data);
    Slot* head = skeleton->slots[0].get();
    Slot* hand = skeleton->slots[1].get();
    EXPECT_EQ(head->attachment, skinned.defaultFace);
    EXPECT_EQ(hand->attachment, nullptr);

    // No skin yet: setup attachments the new skin has.
    ASSERT_TRUE(Skeleton_SetSkinByName(skeleton.get(), "blue"));
    EXPECT_EQ(head->attachment, skinned.blueFace);
    EXPECT_EQ(hand->attachment, skinned.blueGlove);

    // From blue to red: the hand no longer shows blue's glove, so it stays.
    Slot_SetAttachment(hand, skinned.defaultHat);
    ASSERT_TRUE(Skeleton_SetSkinByName(skeleton.get(), "red"));
    EXPECT_EQ(head->attachment, skinned.redFace);
    EXPECT_EQ(hand->attachment, skinned.defaultHat);

    EXPECT_FALSE(Skeleton_SetSkinByName(skeleton.get(), "green"));
    EXPECT_STREQ(skeleton->skin->name.c_str(), "red");
    EXPECT_TRUE(Skeleton_SetSkinByName(skeleton.get(), nullptr));
    EXPECT_EQ(skeleton->skin, nullptr);
    EXPECT_EQ(head->attachment, skinned.redFace);
}

TEST(SkeletonSkins, LookupAsksTheCurrentSkinThenTheDefaultAndNewerEntriesHideOlder)
{
    SkinnedData skinned;
    SkeletonPtr skeleton = MakeSkeleton(skinned.data);
    Skeleton_SetSkinByName(skeleton.get(), "red");
    EXPECT_EQ(Skeleton_LookupAttachment(skeleton.get(), 0, "face"), skinned.redFace);
    EXPECT_EQ(Skeleton_LookupAttachment(skeleton.get(), 0, "hat"), skinned.defaultHat);
    EXPECT_EQ(Skeleton_LookupAttachment(skeleton.get(), 1, "face"), nullptr);
    EXPECT_EQ(Skeleton_LookupAttachment(skeleton.get(), -1, "face"), nullptr);

    Skin* red = skinned.data.skins[2].get();
    Attachment* newer = AddAttachment<RegionAttachment>(red, 0, "face");
    EXPECT_EQ(Skin_FindAttachment(red, 0, "face"), newer);
    EXPECT_EQ(Skin_FindAttachment(red, 0, "Face"), nullptr);
}

TEST(SkeletonSlots, ResetSlotsRestoresDrawOrderColourAndSetupAttachment)
{
    SkinnedData skinned;
    skinned.data.slots[0]->r = 0.5f;
    SkeletonPtr skeleton = MakeSkeleton(skinned.data);
    Slot* head = skeleton->slots[0].get();
    std::swap(skeleton->drawOrder[0], skeleton->drawOrder[1]);
    head->r = 1;
    skeleton->time = 2;
    head->deform = {1, 2};
    Slot_SetAttachment(head, skinned.defaultHat);
    EXPECT_EQ(head->attachmentTime, 2);
    EXPECT_TRUE(head->deform.empty());
    head->deform = {1, 2};
    // The same attachment again keeps the deform keys.
    Slot_SetAttachment(head, skinned.defaultHat);
    EXPECT_EQ(head->deform.size(), 2u);

    Skeleton_ResetSlots(skeleton.get());
    EXPECT_EQ(skeleton->drawOrder[0], head);
    EXPECT_EQ(head->r, 0.5f);
    EXPECT_EQ(head->attachment, skinned.defaultFace);
    EXPECT_TRUE(head->deform.empty());
    EXPECT_EQ(Skeleton_FindSlot(skeleton.get(), "hand"), skeleton->slots[1].get());
    EXPECT_EQ(Skeleton_FindSlotIndex(skeleton.get(), "foot"), -1);
    EXPECT_EQ(Skeleton_FindBone(skeleton.get(), "root"), skeleton->root);
}
