#include <gtest/gtest.h>

#include <cmath>

#include "Graphics/VertexBuilderM.h"
#include "Graphics/Graphics_Display.h"
#include "World/CameraFixture.h"
#include "support/GpuTestFrame.h"

namespace {

struct Projected {
    float x, y, z;
};

// A room point through view x projection, divided by w.
Projected Project(const Camera& camera, float x, float y, float z)
{
    const Matrix& m = camera.viewProjection;
    float out[4];
    for (int c = 0; c < 4; ++c) out[c] = x * m.m[0][c] + y * m.m[1][c] + z * m.m[2][c] + m.m[3][c];
    return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
}

void ExpectMatrix(const Matrix& actual, const float (&expected)[16], float tolerance)
{
    for (int k = 0; k < 16; ++k) EXPECT_NEAR((&actual.m[0][0])[k], expected[k], tolerance) << "element " << k;
}

struct CameraTest : CameraWorld {
    CInstance* Spawn(float x, float y, int32_t objectIndex)
    {
        return room.CreateInstance(x, y, objectIndex);
    }
};

TEST_F(CameraTest, NewCameraHasTheInitialValues)
{
    const Camera* camera = CameraList::CreateCamera();
    EXPECT_EQ(camera->id, 0);
    EXPECT_EQ(camera->target, -1);
    EXPECT_EQ(camera->beginScript, -1);
    EXPECT_EQ(camera->endScript, -1);
    EXPECT_EQ(camera->updateScript, -1);
    EXPECT_TRUE(camera->Is2D());
    EXPECT_FALSE(camera->IsViewChanged());
    EXPECT_EQ(camera->speedX, 0.0f);  // a made camera never moves when given a target
    EXPECT_EQ(camera->view.m[3][3], 1.0f);
    EXPECT_EQ(camera->viewProjection.m[3][3], 0.0f);
}

TEST_F(CameraTest, OrthographicMatricesMapTheRectangleOntoTheClipSquare)
{
    const Camera* camera = ViewCamera(100, 50, 640, 480);
    // Centre (420, 290), eye at z -16000 looking along +z.
    ExpectMatrix(camera->view, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -420, -290, 16000, 1}, 1e-3f);
    ExpectMatrix(camera->projection,
                 {2.0f / 640, 0, 0, 0, 0, 2.0f / 480, 0, 0, 0, 0, 1.0f / 31999, 0, 0, 0, -1.0f / 31999, 1}, 1e-7f);
    const Projected topLeft = Project(*camera, 100, 50, 0);
    EXPECT_NEAR(topLeft.x, -1.0f, 1e-5f);
    EXPECT_NEAR(topLeft.y, -1.0f, 1e-5f);
    const Projected bottomRight = Project(*camera, 740, 530, 0);
    EXPECT_NEAR(bottomRight.x, 1.0f, 1e-5f);
    EXPECT_NEAR(bottomRight.y, 1.0f, 1e-5f);
    EXPECT_TRUE(camera->Is2D());
    EXPECT_FALSE(camera->IsPerspective());
    // The inverse view's fourth row is the camera position.
    EXPECT_NEAR(camera->invView.m[3][0], 420.0f, 1e-3f);
    EXPECT_NEAR(camera->invView.m[3][1], 290.0f, 1e-3f);
    EXPECT_NEAR(camera->invView.m[3][2], -16000.0f, 1e-2f);
}

TEST_F(CameraTest, TurnedViewRotatesTheUpVector)
{
    const Camera* camera = ViewCamera(0, 0, 200, 100, 90);
    // up = (sin -90, cos -90) = (-1, 0): x axis (0, 1), y axis (-1, 0); centre (100, 50).
    ExpectMatrix(camera->view, {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, -50, 100, 16000, 1}, 1e-3f);
    EXPECT_TRUE(camera->Is2D());  // a turn in the plane keeps the camera 2D
}

TEST_F(CameraTest, PerspectiveMatricesMakeThePlaneZeroSpanTheView)
{
    Camera* camera = CameraList::CreateCamera();
    camera->viewWidth = 640;
    camera->viewHeight = 480;
    camera->BuildPerspectiveMatrices(320, 240);
    ExpectMatrix(camera->view, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -320, -240, 640, 1}, 1e-3f);
    EXPECT_NEAR(camera->projection.m[0][0], 2.0f, 1e-6f);
    EXPECT_NEAR(camera->projection.m[1][1], -2.0f / 0.75f, 1e-5f);
    EXPECT_EQ(camera->projection.m[2][3], 1.0f);
    EXPECT_TRUE(camera->IsPerspective());
    EXPECT_FALSE(camera->Is2D());
    // y turned over: the room's top edge is at +1.
    const Projected topLeft = Project(*camera, 0, 0, 0);
    EXPECT_NEAR(topLeft.x, -1.0f, 1e-5f);
    EXPECT_NEAR(topLeft.y, 1.0f, 1e-5f);
    const Projected bottomRight = Project(*camera, 640, 480, 0);
    EXPECT_NEAR(bottomRight.x, 1.0f, 1e-5f);
    EXPECT_NEAR(bottomRight.y, -1.0f, 1e-5f);
}

TEST_F(CameraTest, MatrixSettersKeepInversesAndTheTwoDimensionalFlag)
{
    Camera* camera = ViewCamera(0, 0, 640, 480);
    Matrix view = camera->view;
    view.m[0][2] = NAN;  // element 2: a NaN counts as non-zero
    camera->SetViewMat(&view.m[0][0]);
    EXPECT_FALSE(camera->Is2D());
    Matrix scaled;
    Matrix_Identity(&scaled);
    scaled.m[0][0] = 2;
    scaled.m[3][0] = 10;
    camera->SetViewMat(&scaled.m[0][0]);
    EXPECT_TRUE(camera->Is2D());
    EXPECT_NEAR(camera->invView.m[0][0], 0.5f, 1e-6f);
    EXPECT_NEAR(camera->invView.m[3][0], -5.0f, 1e-6f);
    Matrix product;
    Matrix_Multiply(&product, &camera->viewProjection, &camera->invViewProjection);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ExpectMatrix(product, identity, 1e-4f);
}

struct FollowCase {
    const char* what;
    float viewX, width, height, borderX, speedX;
    float instanceX, instanceY;
    int32_t roomWidth;
    float expectedX, expectedY;
};

TEST_F(CameraTest, FollowKeepsTheInstanceInsideTheBorderWithinTheRoom)
{
    const FollowCase cases[] = {
        {"pushed right", 0, 640, 480, 32, -1, 1000, 300, 2000, 392, 0},
        {"speed limited", 0, 640, 480, 32, 16, 1000, 300, 2000, 16, 0},
        {"pushed left", 500, 640, 480, 32, -1, 400.9f, 300, 2000, 368, 0},
        {"inside the border", 100, 640, 480, 32, -1, 400, 300, 2000, 100, 0},
        {"wide border centres", 0, 640, 480, 400, -1, 1000.7f, 300, 2000, 680, 0},
        {"view wider than room", 0, 1024, 480, 32, -1, 100, 300, 800, -224, 0},
        {"clamped at the right", 0, 640, 480, 32, -1, 1990, 300, 2000, 1360, 0},
        {"speed zero stops", 40, 640, 480, 32, 0, 1000, 300, 2000, 40, 0},
        {"vertical push", 0, 640, 480, 32, -1, 100, 900, 2000, 0, 452},
    };
    const int32_t object = Object_CreateEmpty();
    for (const FollowCase& c : cases) {
        SCOPED_TRACE(c.what);
        room.width = c.roomWidth;
        room.height = 2000;
        Camera* camera = ViewCamera(c.viewX, 0, c.width, c.height);
        camera->borderX = c.borderX;
        camera->borderY = 32;
        camera->speedX = c.speedX;
        camera->speedY = -1;
        CInstance* instance = Spawn(c.instanceX, c.instanceY, object);
        camera->target = instance->id;
        camera->Update();
        EXPECT_EQ(camera->viewX, c.expectedX);
        EXPECT_EQ(camera->viewY, c.expectedY);
        // The matrices follow the new rectangle.
        EXPECT_NEAR(camera->view.m[3][0], -(c.expectedX + c.width * 0.5f), 1e-2f);
        room.DeleteInstance(instance);
        CameraList::DestroyCamera(camera->id);
    }
}

TEST_F(CameraTest, FollowingAnObjectTakesItsFirstLiveInstance)
{
    room.width = room.height = 4000;
    const int32_t object = Object_CreateEmpty();
    CInstance* first = Spawn(3000, 100, object);
    CInstance* second = Spawn(1000, 100, object);
    Camera* camera = ViewCamera(0, 0, 640, 480);
    camera->borderX = camera->borderY = 32;
    camera->speedX = camera->speedY = -1;
    camera->target = object;
    first->m_marked = true;
    camera->Update();
    EXPECT_EQ(camera->viewX, 1000 + 32 - 640);
    second->SetDeactivated(true);
    first->SetDeactivated(true);
    camera->viewX = 5;
    camera->Update();
    EXPECT_EQ(camera->viewX, 5);  // no live instance: the camera stays
    // A named instance that is deactivated is not followed either.
    camera->target = second->id;
    camera->Update();
    EXPECT_EQ(camera->viewX, 5);
    camera->target = 100000 + 999;  // no such instance
    camera->Update();
    EXPECT_EQ(camera->viewX, 5);
}

TEST_F(CameraTest, WithoutTargetOnlyAChangedViewIsRebuilt)
{
    Camera* camera = ViewCamera(0, 0, 640, 480);
    camera->viewX = 100;
    camera->Update();
    EXPECT_NEAR(camera->view.m[3][0], -320.0f, 1e-3f);  // not marked changed: untouched
    camera->viewChanged = 1;
    camera->Update();
    EXPECT_NEAR(camera->view.m[3][0], -420.0f, 1e-3f);
    camera->viewX = 200;
    camera->Update();  // the flag stays set: every update rebuilds
    EXPECT_NEAR(camera->view.m[3][0], -520.0f, 1e-3f);
    EXPECT_TRUE(camera->IsViewChanged());
}

TEST_F(CameraTest, ApplyReadsTheRectangleBackFromTheMatrices)
{
    struct Case {
        float angle, expectedAngle;
    } cases[] = {{0, 0}, {90, 270}, {30, 330}, {200, 160}, {359, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        Camera* camera = ViewCamera(100, 50, 640, 480, c.angle);
        camera->Apply();
        EXPECT_NEAR(RendererViewRect.x, 100.0f, 1e-2f);
        EXPECT_NEAR(RendererViewRect.y, 50.0f, 1e-2f);
        EXPECT_NEAR(RendererViewRect.width, 640.0f, 1e-2f);
        EXPECT_NEAR(RendererViewRect.height, 480.0f, 1e-2f);
        EXPECT_NEAR(RendererViewRect.angle, c.expectedAngle, 1e-2f);
        CameraList::DestroyCamera(camera->id);
    }
    // The renderer's visible bounds of an unturned view: the rectangle grown
    // by 0.999 and truncated toward zero.
    ViewCamera(100, 50, 640, 480)->Apply();
    EXPECT_EQ(GR_ViewBounds.left, 99);
    EXPECT_EQ(GR_ViewBounds.bottom, 530);
}

TEST_F(CameraTest, ApplyOfAPerspectiveCameraTakesTheWholeRoom)
{
    room.width = 1200;
    room.height = 900;
    Camera* camera = CameraList::CreateCamera();
    camera->viewWidth = 640;
    camera->viewHeight = 480;
    camera->BuildPerspectiveMatrices(320, 240);
    camera->Apply();
    EXPECT_EQ(RendererViewRect.x, 0.0f);
    EXPECT_EQ(RendererViewRect.width, 1200.0f);
    EXPECT_EQ(RendererViewRect.height, 900.0f);
    Run_Room = nullptr;
    camera->Apply();
    EXPECT_EQ(RendererViewRect.width, 1.0f);
    EXPECT_EQ(RendererViewRect.height, 1.0f);
    Run_Room = &room;
}

TEST_F(CameraTest, AFlatViewReadsBackUnturned)
{
    Camera* camera = ViewCamera(10, 20, 640, 0);
    camera->Apply();
    EXPECT_EQ(RendererViewRect.angle, 0.0f);
    EXPECT_FALSE(std::isnan(RendererViewRect.x));
}

TEST_F(CameraTest, ApplyFillsTheRendererMatrixSlotsWithYTurnedOver)
{
    GpuTestFrame frame(64, 64);
    ASSERT_TRUE(frame.ok);
    ViewCamera(0, 0, 640, 480)->Apply();
    float view[16], projection[16];
    GR_D3D_GetMatrix(MATRIX_VIEW, view);
    GR_D3D_GetMatrix(MATRIX_PROJECTION, projection);
    EXPECT_EQ(view[12], -320.0f);
    EXPECT_EQ(view[13], -240.0f);
    EXPECT_FLOAT_EQ(projection[0], 2.0f / 640);
    EXPECT_FLOAT_EQ(projection[5], -2.0f / 480);
    EXPECT_FLOAT_EQ(projection[14], -1.0f / 31999);
}

}  // namespace
