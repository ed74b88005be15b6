#include <gtest/gtest.h>

#include <vector>

#include "Animation/MeshAttachment.h"
#include "Animation/RegionAttachment.h"
#include "Animation/SkeletonTestSupport.h"
#include "Animation/VertexAttachment.h"

using namespace skeleton_test;

namespace {

void ExpectFloats(const float* actual, const std::vector<float>& expected)
{
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-4f) << "at " << i;
}

} // namespace

TEST(RegionAttachmentGeometry, CornersFollowSizeCropAndTheBone)
{
    struct Case {
        const char* what;
        float width, height, originalWidth, originalHeight, regionWidth, regionHeight, offsetX, offsetY, rotation;
        std::vector<float> corners;
    };
    const std::vector<Case> cases = {
        {"uncropped 32 x 32", 32, 32, 32, 32, 32, 32, 0, 0, 0, {-16, -16, -16, 16, 16, 16, 16, -16}},
        {"cropped 64 x 64", 64, 64, 64, 64, 32, 32, 8, 16, 0, {-24, -16, -24, 16, 8, 16, 8, -16}},
        {"shown at half size", 16, 16, 32, 32, 32, 32, 0, 0, 0, {-8, -8, -8, 8, 8, 8, 8, -8}},
        {"turned 90 degrees", 32, 32, 32, 32, 32, 32, 0, 0, 90, {16, -16, -16, -16, -16, 16, 16, 16}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RegionAttachment region("r");
        region.width = c.width, region.height = c.height;
        region.regionOriginalWidth = c.originalWidth, region.regionOriginalHeight = c.originalHeight;
        region.regionWidth = c.regionWidth, region.regionHeight = c.regionHeight;
        region.regionOffsetX = c.offsetX, region.regionOffsetY = c.offsetY;
        region.rotation = c.rotation;
        RegionAttachment_UpdateOffset(&region);
        ExpectFloats(region.offset, c.corners);
    }

    // World corners: the bone's transform, then the skeleton's position.
    SkeletonData data;
    AddBone(data, "root", nullptr, 5, 0, 90);
    SkeletonPtr skeleton = MakeSkeleton(data);
    skeleton->x = 100, skeleton->y = 200;
    Skeleton_ComputeWorldTransforms(skeleton.get());
    RegionAttachment region("r");
    region.width = region.height = region.regionOriginalWidth = region.regionOriginalHeight = 32;
    region.regionWidth = region.regionHeight = 32;
    RegionAttachment_UpdateOffset(&region);
    float world[8];
    RegionAttachment_ComputeWorldVertices(&region, skeleton->root, world);
    ExpectFloats(world, {121, 184, 89, 184, 89, 216, 121, 216});
}

TEST(RegionAttachmentGeometry, ARotatedRegionsUvsTurnItBackUpright)
{
    RegionAttachment region("r");
    RegionAttachment_SetUVs(&region, 0.25f, 0.5f, 0.75f, 1.0f, false);
    // (left, bottom) shows the image's bottom-left texel: u at the left edge, v2 at the bottom.
    ExpectFloats(region.uvs, {0.25f, 1.0f, 0.25f, 0.5f, 0.75f, 0.5f, 0.75f, 1.0f});
    // Stored turned a quarter on the page, the image's bottom-left lies at (u2, v2).
    RegionAttachment_SetUVs(&region, 0.25f, 0.5f, 0.75f, 1.0f, true);
    ExpectFloats(region.uvs, {0.75f, 1.0f, 0.25f, 1.0f, 0.25f, 0.5f, 0.75f, 0.5f});

    MeshAttachment mesh("m");
    mesh.regionU = 0.5f, mesh.regionV = 0, mesh.regionU2 = 1, mesh.regionV2 = 0.5f;
    mesh.regionUVs = {0, 0, 1, 0, 0, 1};
    MeshAttachment_UpdateUVs(&mesh);
    ExpectFloats(mesh.uvs.data(), {0.5f, 0, 1, 0, 0.5f, 0.5f});
    mesh.regionRotate = true;
    MeshAttachment_UpdateUVs(&mesh);
    ExpectFloats(mesh.uvs.data(), {0.5f, 0.5f, 0.5f, 0, 1, 0.5f});
}

namespace {

// Two bones: "a" at the origin, "b" at (10, 0) turned 90 degrees; the
// skeleton stands at (7, 9). One slot on "a".
struct TwoBones {
    SkeletonData data;
    TwoBones()
    {
        BoneData* a = AddBone(data, "a", nullptr);
        AddBone(data, "b", a, 10, 0, 90);
        SkeletonData_AddSlot(&data, "slot", a);
    }
    SkeletonPtr Pose()
    {
        SkeletonPtr skeleton = MakeSkeleton(data);
        skeleton->x = 7, skeleton->y = 9;
        Skeleton_ComputeWorldTransforms(skeleton.get());
        return skeleton;
    }
};

} // namespace

TEST(VertexAttachmentGeometry, WeightedVerticesBlendTheirBonesAndDeformOffsetsEachWeight)
{
    TwoBones bones;
    MeshAttachment mesh("m");
    std::string error;
    // Vertex 0: only bone a at (2, 0). Vertex 1: (1, 2) in a with 0.25 and (3, 4) in b with 0.75.
    const std::vector<float> values = {1, 0, 2, 0, 1, 2, 0, 1, 2, 0.25f, 1, 3, 4, 0.75f};
    ASSERT_TRUE(VertexAttachment_ReadVertices(&mesh, values.data(), values.size(), 4, 1, &error)) << error;
    SkeletonPtr skeleton = bones.Pose();
    Slot* slot = skeleton->slots[0].get();

    float out[4];
    MeshAttachment_ComputeWorldVertices(&mesh, slot, out);
    // b maps (3, 4) to (10 - 4, 3) = (6, 3); 0.25·(1, 2) + 0.75·(6, 3) = (4.75, 2.75).
    ExpectFloats(out, {9, 9, 11.75f, 11.75f});

    // From the second vertex on: the walk over the bone lists skips the first.
    float second[2];
    VertexAttachment_ComputeWorldVertices(&mesh, 2, 2, slot, second, 0);
    ExpectFloats(second, {11.75f, 11.75f});

    // Deform pairs offset each weight's x, y in its own bone's space.
    slot->deform = {0, 0, 4, 0, 0, 4};
    MeshAttachment_ComputeWorldVertices(&mesh, slot, out);
    // (5, 2) in a and (3, 8) in b at (2, 3): 0.25·(5, 2) + 0.75·(2, 3) = (2.75, 2.75).
    ExpectFloats(out, {9, 9, 9.75f, 11.75f});
}

TEST(VertexAttachmentGeometry, DeformReplacesUnweightedVertices)
{
    TwoBones bones;
    bones.data.slots[0]->bone = bones.data.bones[1].get();
    SkeletonPtr skeleton = bones.Pose();
    Slot* slot = skeleton->slots[0].get();
    BoundingBoxAttachment box("box");
    std::string error;
    const std::vector<float> values = {1, 0, 0, 2};
    ASSERT_TRUE(VertexAttachment_ReadVertices(&box, values.data(), values.size(), 4, 2, &error));
    EXPECT_TRUE(box.bones.empty());

    float out[4];
    BoundingBoxAttachment_ComputeWorldVertices(&box, slot, out);
    // Scaled by 2 on reading; b turns (2, 0) to (0, 2) and (0, 4) to (-4, 0).
    ExpectFloats(out, {17, 11, 13, 9});
    slot->deform = {0, 1, 1, 0};
    BoundingBoxAttachment_ComputeWorldVertices(&box, slot, out);
    ExpectFloats(out, {16, 9, 17, 10});
}

TEST(VertexAttachmentGeometry, RangesOutsideTheAttachmentWriteZerosInsteadOfReadingPastIt)
{
    TwoBones bones;
    SkeletonPtr skeleton = bones.Pose();
    PathAttachment path("path");
    std::string error;
    const std::vector<float> values = {1, 0, 5, 6, 1};
    ASSERT_TRUE(VertexAttachment_ReadVertices(&path, values.data(), values.size(), 2, 1, &error));
    struct Case {
        int32_t start, count;
    };
    for (const Case& c : {Case{2, 2}, Case{-2, 2}, Case{0, 4}, Case{1, 2}}) {
        float out[4] = {-1, -1, -1, -1};
        PathAttachment_ComputeWorldVertices(&path, skeleton->slots[0].get(), c.start, c.count, out, 0);
        for (int32_t i = 0; i < c.count; ++i) EXPECT_EQ(out[i], 0) << c.start << " " << c.count;
    }
}
