#pragma once
// 4x4 f32 matrices: row-major (m[r][c]), row vectors multiplied on the left
// (v' = v x M), translation in the fourth row, left-handed view and
// projection builders with depth 0..1. Every builder overwrites all entries.
// Rotation angles are in degrees.

struct Matrix {
    float m[4][4];
};

struct Vec3f {
    float x, y, z;
};

void Matrix_Identity(Matrix* out);
// out = a x b (a applied first); out may be a or b.
void Matrix_Multiply(Matrix* out, const Matrix* a, const Matrix* b);
void Matrix_RotationX(Matrix* out, float degrees);
void Matrix_RotationY(Matrix* out, float degrees);
void Matrix_RotationZ(Matrix* out, float degrees);
// The identity moved by (x, y, z): the translation row.
void Matrix_Translation(Matrix* out, float x, float y, float z);
// Rotation about the axis (x, y, z), normalised here; a zero axis gives the
// identity.
void Matrix_RotationAxis(Matrix* out, float x, float y, float z, float degrees);
void Matrix_LookAt(Matrix* out, Vec3f eye, Vec3f target, Vec3f up);
// The identity for a zero width or height or near equal to far.
void Matrix_Ortho(Matrix* out, float width, float height, float zNear, float zFar);
// Width and height of the view volume at the near plane.
void Matrix_Perspective(Matrix* out, float width, float height, float zNear, float zFar);
// Field of view in radians; the identity for a zero field of view or aspect
// or near equal to far.
void Matrix_PerspectiveFov(Matrix* out, float fov, float aspect, float zNear, float zFar);
// Inverts in place; false (m unchanged) when the determinant is 0.
bool Matrix_Invert(Matrix* m);
