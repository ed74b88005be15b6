#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Animation/SkeletonTestSupport.h"
#include "Animation/VertexAttachment.h"

using namespace skeleton_test;

namespace {

// Two bones, one slot, and in the default skin a weighted mesh of two
// triangles over four vertices, a bounding box and a path.
struct ValidData {
    SkeletonData data;
    MeshAttachment* mesh;
    PathAttachment* path;
    ValidData()
    {
        BoneData* root = AddBone(data, "root", nullptr);
        AddBone(data, "arm", root, 5, 0);
        SlotData* slot = SkeletonData_AddSlot(&data, "slot", root);
        Skin* skin = SkeletonData_AddSkin(&data, "default");
        mesh = AddAttachment<MeshAttachment>(skin, 0, "mesh");
        std::string error;
        const std::vector<float> weighted = {1, 0, 0, 0, 1, 1, 1, 1, 0, 1, 2, 0, 1, 0, 0.5f, 1, 1, 0, 0.5f, 1, 0, 0, 1, 1};
        EXPECT_TRUE(VertexAttachment_ReadVertices(mesh, weighted.data(), weighted.size(), 8, 1, &error)) << error;
        mesh->triangles = {0, 1, 2, 2, 3, 0};
        mesh->regionUVs.assign(8, 0.5f);
        AddAttachment<BoundingBoxAttachment>(skin, 0, "box");
        path = AddAttachment<PathAttachment>(skin, 0, "path");
        const std::vector<float> points(12, 1.0f);
        EXPECT_TRUE(VertexAttachment_ReadVertices(path, points.data(), points.size(), 12, 1, &error)) << error;
        path->lengths = {1, 2};
        IkConstraintData* ik = SkeletonData_AddIkConstraint(&data, "ik");
        ik->bones = {data.bones[1].get()};
        ik->target = root;
        PathConstraintData* along = SkeletonData_AddPathConstraint(&data, "along");
        along->bones = {data.bones[1].get()};
        along->target = slot;
    }
};

} // namespace

TEST(SkeletonDataCheck, OutOfRangeIndicesAndBrokenLayoutsAreRefusedWithTheirMessage)
{
    {
        ValidData valid;
        std::string error;
        EXPECT_TRUE(SkeletonData_Check(&valid.data, &error)) << error;
    }
    struct Case {
        const char* message;
        void (*breakIt)(ValidData&);
    };
    const Case cases[] = {
        {"Bone index out of range: mesh", [](ValidData& v) { v.mesh->bones[5] = 2; }},
        {"Bone index out of range: mesh", [](ValidData& v) { v.mesh->bones[1] = -1; }},
        {"Weighted vertices run past their end: mesh", [](ValidData& v) { v.mesh->bones[7] = 7; }},
        {"Invalid vertex count: mesh", [](ValidData& v) { v.mesh->vertices.pop_back(); }},
        {"Invalid vertex count: mesh", [](ValidData& v) { v.mesh->worldVerticesLength = 10; }},
        {"Triangle index out of range: mesh", [](ValidData& v) { v.mesh->triangles[4] = 4; }},
        {"Invalid triangle count: mesh", [](ValidData& v) { v.mesh->triangles.pop_back(); }},
        {"Invalid uv count: mesh", [](ValidData& v) { v.mesh->regionUVs.pop_back(); }},
        {"Invalid path lengths: path", [](ValidData& v) { v.path->lengths.pop_back(); }},
        {"Invalid vertex count: path", [](ValidData& v) { v.path->vertices.pop_back(); }},
        {"Target bone not found: ik", [](ValidData& v) { v.data.ikConstraints[0]->target = nullptr; }},
        {"Constraint has no bones: along", [](ValidData& v) { v.data.pathConstraints[0]->bones.clear(); }},
        {"Target slot not found: along", [](ValidData& v) { v.data.pathConstraints[0]->target = nullptr; }},
        {"Parent bone not found: root", [](ValidData& v) { v.data.bones[0]->parent = v.data.bones[1].get(); }},
    };
    for (const Case& c : cases) {
        ValidData broken;
        c.breakIt(broken);
        std::string error;
        EXPECT_FALSE(SkeletonData_Check(&broken.data, &error)) << c.message;
        EXPECT_EQ(error, c.message);
    }
}

TEST(SkeletonDataCheck, WeightedVertexListsThatRunPastTheirEndAreRefusedOnReading)
{
    BoundingBoxAttachment box("box");
    std::string error;
    // Lengths differ from the 4 floats of two vertices, so each is read as weighted.
    for (const std::vector<float>& values : {std::vector<float>{1, 0, 1}, std::vector<float>{2, 0, 1, 1, 1, 1, 1, 1},
                                            std::vector<float>{-1, 0, 0}, std::vector<float>{1e30f, 0, 0, 0, 0}}) {
        error.clear();
        EXPECT_FALSE(VertexAttachment_ReadVertices(&box, values.data(), values.size(), 4, 1, &error));
        EXPECT_EQ(error, "Weighted vertices run past their end: box");
        EXPECT_TRUE(box.bones.empty());
        EXPECT_TRUE(box.vertices.empty());
    }
}

TEST(SkeletonDataCheck, UncheckedWeightedDataNeverReadsPastItsArrays)
{
    // Data a reader failed to check still poses without reading out of bounds:
    // the vertices come out as zeros.
    ValidData valid;
    valid.mesh->bones[5] = 9;
    SkeletonPtr skeleton(Skeleton_Create(&valid.data));
    Skeleton_ComputeWorldTransforms(skeleton.get());
    std::vector<float> out(8, -1);
    MeshAttachment_ComputeWorldVertices(valid.mesh, skeleton->slots[0].get(), out.data());
    EXPECT_EQ(out, std::vector<float>(8, 0.0f));
}
