#pragma once
// The legacy 3D mode (d3d_start/d3d_end), the depth of 2D drawing, the
// projection set-ups that replace the view and projection matrices, the world
// matrix set and add operations and the world-matrix stack.
#include <cstdint>

extern bool Legacy3DMode;
// While set, sprite drawing skips its view culling (an orthographic set-up).
extern bool NoSpriteCulling;

// The kind of projection the last set-up made.
struct LegacyProjection {
    bool perspective;
    float zNear, zFar;
};
constexpr LegacyProjection kStartProjection = {false, 1.0f, 32000.0f};
extern LegacyProjection GR_3D_Projection;
// The mode, culling, projection, depth and world-matrix stack as a new run
// finds them; the device's matrices are left to the device.
void GR_3D_Reset();

// Flushes and switches depth testing and perspective with the mode; true.
bool GR_3D_SetMode(bool on);
// z of 2D vertices: the depth clamped to ±16000 in a new-format game or in 3D mode, else 0.
void GR_3D_SetDepth(float depth);
void GR_3D_SetProjection(float xFrom, float yFrom, float zFrom, float xTo, float yTo, float zTo, float xUp, float yUp,
                         float zUp);
void GR_3D_SetProjectionExt(float xFrom, float yFrom, float zFrom, float xTo, float yTo, float zTo, float xUp,
                            float yUp, float zUp, float angle, float aspect, float zNear, float zFar);
void GR_3D_SetProjectionOrtho(float x, float y, float width, float height, float angle);
void GR_3D_SetProjectionPerspective(float x, float y, float width, float height, float angle);

void GR_3D_TransformSetIdentity();
void GR_3D_TransformSetTranslation(float x, float y, float z);
void GR_3D_TransformSetScaling(float x, float y, float z);
void GR_3D_TransformSetRotationX(float angle);
void GR_3D_TransformSetRotationY(float angle);
void GR_3D_TransformSetRotationZ(float angle);
void GR_3D_TransformSetRotationAxis(float x, float y, float z, float angle);
void GR_3D_TransformAddTranslation(float x, float y, float z);
void GR_3D_TransformAddScaling(float x, float y, float z);
void GR_3D_TransformAddRotationX(float angle);
void GR_3D_TransformAddRotationY(float angle);
void GR_3D_TransformAddRotationZ(float angle);
void GR_3D_TransformAddRotationAxis(float x, float y, float z, float angle);

// The world-matrix stack (51 entries); false when full or empty.
void GR_3D_TransformStackClear();
bool GR_3D_TransformStackEmpty();
bool GR_3D_TransformStackPush();
bool GR_3D_TransformStackPop();
bool GR_3D_TransformStackTop();
bool GR_3D_TransformStackDiscard();
// The point through the world matrix.
void GR_3D_TransformVertex(float x, float y, float z, float out[3]);
