#include <gtest/gtest.h>

#include <cstring>

#include "Buffer/Buffer_Main.h"
#include "Code/Code_Value.h"
#include "World/CameraFixture.h"

namespace {

struct CameraListTest : CameraWorld {};

TEST_F(CameraListTest, IdsIncreaseAndLookUpsSurviveDestruction)
{
    for (int i = 0; i < 5; ++i) EXPECT_EQ(CameraList::CreateCamera()->id, i);  // the array doubles from one slot
    EXPECT_EQ(CameraList::GetCamera(3)->id, 3);  // remembered as the last hit
    CameraList::DestroyCamera(3);
    CameraList::DestroyCamera(3);  // names no camera now: nothing happens
    CameraList::DestroyCamera(99);
    EXPECT_EQ(CameraList::GetCount(), 4);
    EXPECT_EQ(CameraList::FindIndex(3), -1);
    EXPECT_EQ(CameraList::FindIndex(4), 3);
    EXPECT_EQ(CameraList::GetCamera(2)->id, 2);
    EXPECT_EQ(CameraList::GetCamera(-1), nullptr);
    EXPECT_EQ(CameraList::CreateCamera()->id, 5);  // ids are never reused
    CameraList::Clear();
    EXPECT_EQ(CameraList::GetCount(), 0);
    EXPECT_EQ(CameraList::CreateCamera()->id, 0);
}

TEST_F(CameraListTest, ActiveCameraIsClearedWithItsCamera)
{
    CameraList::CreateCamera();
    CameraList::CreateCamera();
    CameraList::SetActiveCamera(1);
    EXPECT_EQ(CameraList::GetActiveCamera()->id, 1);
    CameraList::SetActiveCamera(7);  // names no camera: unchanged
    EXPECT_EQ(CameraList::GetActiveCamera()->id, 1);
    CameraList::DestroyCamera(0);
    EXPECT_EQ(CameraList::GetActiveCamera()->id, 1);
    CameraList::DestroyCamera(1);
    EXPECT_EQ(CameraList::GetActiveCamera(), nullptr);
    CameraList::CreateCamera();
    CameraList::SetActiveCamera(2);
    CameraList::SetActiveCamera(-1);
    EXPECT_EQ(CameraList::GetActiveCamera(), nullptr);
}

TEST_F(CameraListTest, RoomViewAndCloneCopyTheirSettings)
{
    EXPECT_EQ(CameraList::CreateFromRoomView(nullptr), nullptr);
    RoomView view;
    view.viewX = 10;
    view.viewY = 20;
    view.viewWidth = 320;
    view.viewHeight = 240;
    view.borderH = 16;
    view.borderV = 8;
    view.hspeed = 4;
    view.vspeed = -1;
    view.followObject = 3;
    Camera* camera = CameraList::CreateFromRoomView(&view);
    EXPECT_EQ(camera->speedX, 4.0f);
    EXPECT_EQ(camera->speedY, -1.0f);
    EXPECT_EQ(camera->borderX, 16.0f);
    EXPECT_EQ(camera->borderY, 8.0f);
    EXPECT_EQ(camera->target, 3);
    EXPECT_NEAR(camera->view.m[3][0], -170.0f, 1e-3f);  // centred on (170, 140)
    EXPECT_NEAR(camera->view.m[3][1], -140.0f, 1e-3f);
    camera->angle = 45;
    camera->updateScript = 2;
    camera->beginScript = 3;
    camera->endScript = 4;
    camera->viewChanged = 1;
    Camera* clone = CameraList::CloneCamera(camera->id);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->id, camera->id + 1);
    EXPECT_EQ(clone->angle, 45.0f);
    EXPECT_EQ(clone->updateScript, 2);
    EXPECT_EQ(clone->beginScript, 3);
    EXPECT_EQ(clone->endScript, 4);
    EXPECT_EQ(clone->target, 3);
    EXPECT_EQ(clone->viewWidth, 320.0f);
    EXPECT_FALSE(clone->IsViewChanged());
    EXPECT_EQ(std::memcmp(&clone->viewProjection, &camera->viewProjection, sizeof(Matrix)), 0);
    EXPECT_EQ(CameraList::CloneCamera(77), nullptr);
}

TEST_F(CameraListTest, DefaultCameraIsANewCamera)
{
    CameraList::CreateCamera();
    InitDefaultCamera();
    EXPECT_EQ(DefaultCameraId, 1);
    EXPECT_NE(CameraList::GetCamera(DefaultCameraId), nullptr);
}

// ------------------------------------------------------------ saved games

Camera* Distinct(float seed)
{
    Camera* camera = CameraList::CreateCamera();
    camera->viewX = seed;
    camera->viewY = seed + 1;
    camera->viewWidth = 320;
    camera->viewHeight = 200;
    camera->speedX = -1;
    camera->speedY = 3.5f;
    camera->borderX = 7;
    camera->borderY = 9;
    camera->angle = 12.25f;
    camera->target = 100004;
    camera->beginScript = 1;
    camera->endScript = 2;
    camera->updateScript = 3;
    camera->BuildPerspectiveMatrices(seed, seed);
    camera->viewChanged = 1;
    return camera;
}

TEST_F(CameraListTest, SavedSectionRoundTripsEveryField)
{
    Distinct(5);
    Distinct(50);
    Camera saved[2];
    std::memcpy(&saved[0], CameraList::At(0), sizeof(Camera));
    std::memcpy(&saved[1], CameraList::At(1), sizeof(Camera));
    IBuffer buffer;
    ASSERT_TRUE(CameraList::Serialise(&buffer));
    EXPECT_EQ(buffer.UsedSize(), 4 + 2 * (4 + CAMERA_SAVE_RECORD_SIZE));
    // The id first, then the projection's first element, little-endian.
    int32_t id;
    float first;
    std::memcpy(&id, buffer.Data() + 4 + 4 + 4 + CAMERA_SAVE_RECORD_SIZE, 4);
    std::memcpy(&first, buffer.Data() + 12, 4);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(first, saved[0].projection.m[0][0]);

    CameraList::Clear();
    Distinct(99);  // replaced by the load
    CameraList::SetActiveCamera(0);
    buffer.Seek(eBuffer_SeekStart, 0);
    ASSERT_TRUE(CameraList::Deserialise(&buffer));
    EXPECT_EQ(buffer.Remaining(), 0u);
    ASSERT_EQ(CameraList::GetCount(), 2);
    EXPECT_EQ(CameraList::GetActiveCamera(), nullptr);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(std::memcmp(CameraList::At(i), &saved[i], sizeof(Camera)), 0) << i;
    // The counter is not saved, yet new cameras never take a loaded id.
    EXPECT_EQ(CameraList::CreateCamera()->id, 2);
}

void PutS32(IBuffer* buffer, int32_t value)
{
    const ScriptValue v = ScriptValue_Real(value);
    buffer->Write(eBuffer_S32, &v);
}

// Appends bytes [from, to) of a buffer whose size is a multiple of 4.
void PutBytes(IBuffer* buffer, const IBuffer& source, size_t from, size_t to)
{
    for (size_t k = from; k < to; k += 4) {
        uint32_t word;
        std::memcpy(&word, source.Data() + k, 4);
        const ScriptValue v = ScriptValue_Real(word);
        buffer->Write(eBuffer_U32, &v);
    }
    buffer->Resize(buffer->UsedSize() - (from + (to - from + 3) / 4 * 4 - to));
    buffer->Seek(eBuffer_SeekStart, buffer->UsedSize());
}

TEST_F(CameraListTest, EmptySlotsAndUnnumberedCamerasLoad)
{
    Distinct(1);
    IBuffer record;
    ASSERT_TRUE(CameraList::Serialise(&record));
    IBuffer buffer;
    PutS32(&buffer, 3);
    PutS32(&buffer, 0);  // an empty slot
    PutS32(&buffer, 1);
    PutS32(&buffer, -1);  // a saved id of -1 takes the next id
    PutBytes(&buffer, record, 12, record.UsedSize());  // the record after its id
    PutS32(&buffer, 0);
    CameraList::Clear();
    CameraList::CreateCamera();
    CameraList::CreateCamera();  // next id is 2
    buffer.Seek(eBuffer_SeekStart, 0);
    ASSERT_TRUE(CameraList::Deserialise(&buffer));
    ASSERT_EQ(CameraList::GetCount(), 1);
    EXPECT_EQ(CameraList::At(0)->id, 2);
    EXPECT_EQ(CameraList::At(0)->viewX, 1.0f);
    EXPECT_TRUE(CameraList::At(0)->IsViewChanged());
}

// A saved id at the top of the int range: later cameras are refused rather
// than given an id that wrapped.
TEST_F(CameraListTest, IdsStopAtTheTopOfTheRange)
{
    Distinct(1);
    IBuffer record;
    ASSERT_TRUE(CameraList::Serialise(&record));
    IBuffer buffer;
    PutS32(&buffer, 1);
    PutS32(&buffer, 1);
    PutS32(&buffer, INT32_MAX);
    PutBytes(&buffer, record, 12, record.UsedSize());
    buffer.Seek(eBuffer_SeekStart, 0);
    ASSERT_TRUE(CameraList::Deserialise(&buffer));
    ASSERT_EQ(CameraList::GetCount(), 1);
    EXPECT_EQ(CameraList::At(0)->id, INT32_MAX);
    EXPECT_EQ(CameraList::CreateCamera(), nullptr);
    EXPECT_EQ(CameraList::GetCount(), 1);
}

TEST_F(CameraListTest, TruncatedOrMalformedSectionsAreRefusedAndChangeNothing)
{
    Distinct(5);
    Distinct(6);
    IBuffer full;
    ASSERT_TRUE(CameraList::Serialise(&full));
    const size_t cuts[] = {0, 2, 4, 8, 100, 4 + 4 + CAMERA_SAVE_RECORD_SIZE, size_t(full.UsedSize()) - 1};
    for (size_t cut : cuts) {
        SCOPED_TRACE(cut);
        IBuffer copy;
        PutBytes(&copy, full, 0, cut);
        ASSERT_EQ(copy.UsedSize(), cut);
        copy.Seek(eBuffer_SeekStart, 0);
        EXPECT_FALSE(CameraList::Deserialise(&copy));
        ASSERT_EQ(CameraList::GetCount(), 2);
        EXPECT_EQ(CameraList::At(1)->viewX, 6.0f);
    }
    IBuffer negative;
    PutS32(&negative, -2);
    negative.Seek(eBuffer_SeekStart, 0);
    EXPECT_FALSE(CameraList::Deserialise(&negative));
    IBuffer huge;
    PutS32(&huge, 0x7FFFFFFF);
    PutS32(&huge, 0);
    huge.Seek(eBuffer_SeekStart, 0);
    EXPECT_FALSE(CameraList::Deserialise(&huge));
    EXPECT_EQ(CameraList::GetCount(), 2);
}

TEST_F(CameraListTest, ScriptInstanceIsMadeOnceAndFreed)
{
    CameraList::CreateScriptInstance();
    CInstance* instance = CameraList::GetScriptInstance();
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->id, 0);
    EXPECT_EQ(instance->x, 0.0f);
    CameraList::CreateScriptInstance();
    EXPECT_EQ(CameraList::GetScriptInstance(), instance);
    CameraList::FreeScriptInstance();
    EXPECT_EQ(CameraList::GetScriptInstance(), nullptr);
}

}  // namespace
