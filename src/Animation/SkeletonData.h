#pragma once
// The setup data of a skeleton, read once and shared by every live skeleton
// that shows it: bones (every parent before its children), slots in setup
// draw order, skins, events and the constraint definitions. The data owns
// every record it lists; records refer to each other by plain pointers.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Skin;

struct BoneData {
    int32_t index = 0;
    std::string name;
    BoneData* parent = nullptr;
    float length = 0;
    float x = 0, y = 0, rotation = 0;
    float scaleX = 1, scaleY = 1;
    float shearX = 0, shearY = 0;
    bool inheritRotation = true;
    bool inheritScale = true;
};

enum BlendMode : int32_t { BLEND_MODE_NORMAL = 0, BLEND_MODE_ADDITIVE = 1, BLEND_MODE_MULTIPLY = 2, BLEND_MODE_SCREEN = 3 };

struct SlotData {
    int32_t index = 0;
    std::string name;
    BoneData* bone = nullptr;
    // The setup attachment; empty with hasAttachmentName clear means none.
    std::string attachmentName;
    bool hasAttachmentName = false;
    float r = 1, g = 1, b = 1, a = 1;
    BlendMode blendMode = BLEND_MODE_NORMAL;
};

struct EventData {
    std::string name;
    int32_t intValue = 0;
    float floatValue = 0;
    std::string stringValue;
    bool hasString = false;
};

// One fired key of an event timeline.
struct Event {
    const EventData* data = nullptr;
    float time = 0;
    int32_t intValue = 0;
    float floatValue = 0;
    std::string stringValue;
    bool hasString = false;
};

struct IkConstraintData {
    std::string name;
    // One or two bones are solved; any other count leaves the constraint idle.
    std::vector<BoneData*> bones;
    BoneData* target = nullptr;
    int32_t bendDirection = 1;
    float mix = 1;
};

struct TransformConstraintData {
    std::string name;
    std::vector<BoneData*> bones;
    BoneData* target = nullptr;
    float rotateMix = 0, translateMix = 0, scaleMix = 0, shearMix = 0;
    float offsetRotation = 0, offsetX = 0, offsetY = 0;
    float offsetScaleX = 0, offsetScaleY = 0, offsetShearY = 0;
};

enum PositionMode : int32_t { POSITION_MODE_FIXED = 0, POSITION_MODE_PERCENT = 1 };
enum SpacingMode : int32_t { SPACING_MODE_LENGTH = 0, SPACING_MODE_FIXED = 1, SPACING_MODE_PERCENT = 2 };
enum RotateMode : int32_t { ROTATE_MODE_TANGENT = 0, ROTATE_MODE_CHAIN = 1, ROTATE_MODE_CHAIN_SCALE = 2 };

struct PathConstraintData {
    std::string name;
    std::vector<BoneData*> bones;
    SlotData* target = nullptr;
    PositionMode positionMode = POSITION_MODE_FIXED;
    SpacingMode spacingMode = SPACING_MODE_LENGTH;
    RotateMode rotateMode = ROTATE_MODE_TANGENT;
    float offsetRotation = 0;
    float position = 0, spacing = 0;
    float rotateMix = 0, translateMix = 0;
};

struct SkeletonData {
    SkeletonData();
    ~SkeletonData();
    SkeletonData(const SkeletonData&) = delete;
    SkeletonData& operator=(const SkeletonData&) = delete;

    std::string version;
    std::string hash;
    float width = 0, height = 0;
    std::vector<std::unique_ptr<BoneData>> bones;
    std::vector<std::unique_ptr<SlotData>> slots;
    std::vector<std::unique_ptr<Skin>> skins;
    Skin* defaultSkin = nullptr;
    std::vector<std::unique_ptr<EventData>> events;
    std::vector<std::unique_ptr<IkConstraintData>> ikConstraints;
    std::vector<std::unique_ptr<TransformConstraintData>> transformConstraints;
    std::vector<std::unique_ptr<PathConstraintData>> pathConstraints;
};

SkeletonData* SkeletonData_Create();
void SkeletonData_Destroy(SkeletonData* data);

// Finders: the first record in list order whose name matches exactly, or null.
BoneData* SkeletonData_FindBone(const SkeletonData* data, const std::string& name);
SlotData* SkeletonData_FindSlot(const SkeletonData* data, const std::string& name);
Skin* SkeletonData_FindSkin(const SkeletonData* data, const std::string& name);
EventData* SkeletonData_FindEvent(const SkeletonData* data, const std::string& name);
IkConstraintData* SkeletonData_FindIkConstraint(const SkeletonData* data, const std::string& name);
TransformConstraintData* SkeletonData_FindTransformConstraint(const SkeletonData* data, const std::string& name);
PathConstraintData* SkeletonData_FindPathConstraint(const SkeletonData* data, const std::string& name);
// Position in the list, or -1.
int32_t SkeletonData_FindBoneIndex(const SkeletonData* data, const std::string& name);
int32_t SkeletonData_FindSlotIndex(const SkeletonData* data, const std::string& name);

// Creators: new records with their defaults, appended to the data's lists.
// The index is the record's position in its list.
BoneData* SkeletonData_AddBone(SkeletonData* data, const std::string& name, BoneData* parent);
SlotData* SkeletonData_AddSlot(SkeletonData* data, const std::string& name, BoneData* bone);
// A skin named "default" becomes the default skin.
Skin* SkeletonData_AddSkin(SkeletonData* data, const std::string& name);
EventData* SkeletonData_AddEvent(SkeletonData* data, const std::string& name);
IkConstraintData* SkeletonData_AddIkConstraint(SkeletonData* data, const std::string& name);
TransformConstraintData* SkeletonData_AddTransformConstraint(SkeletonData* data, const std::string& name);
PathConstraintData* SkeletonData_AddPathConstraint(SkeletonData* data, const std::string& name);

// null clears the setup attachment.
void SlotData_SetAttachmentName(SlotData* slot, const char* name);

Event Event_Create(float time, const EventData* data);

// Checks every reference and index the live skeleton follows without a
// check of its own: bone parents and slot bones inside the data, constraint
// bones and targets present, and in every skin's attachments the vertex
// layout, the bone indices of weighted vertices, triangle indices, region
// uvs and path lengths. Returns false with a message followed by the name of
// the record at fault. Readers run it before handing data out.
bool SkeletonData_Check(const SkeletonData* data, std::string* error);
