#include "Base/Matrix.h"

#include <cmath>
#include <cstring>

namespace {
constexpr float kDegToRad = 0.017453292f;

void SinCos(float degrees, float* s, float* c)
{
    double radians = static_cast<double>(degrees * kDegToRad);
    *s = static_cast<float>(std::sin(radians));
    *c = static_cast<float>(std::cos(radians));
}

void Zero(Matrix* out) { std::memset(out, 0, sizeof(*out)); }

float Dot(Vec3f a, Vec3f b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3f Cross(Vec3f a, Vec3f b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// A zero vector stays zero instead of turning into NaNs.
Vec3f Normalise(Vec3f v)
{
    float length = std::sqrt(Dot(v, v));
    if (length == 0.0f) return v;
    return {v.x / length, v.y / length, v.z / length};
}
}  // namespace

void Matrix_Identity(Matrix* out)
{
    Zero(out);
    for (int i = 0; i < 4; ++i) out->m[i][i] = 1.0f;
}

void Matrix_Multiply(Matrix* out, const Matrix* a, const Matrix* b)
{
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] + a->m[i][2] * b->m[2][j] + a->m[i][3] * b->m[3][j];
        }
    }
    *out = r;
}

void Matrix_RotationX(Matrix* out, float degrees)
{
    float s, c;
    SinCos(degrees, &s, &c);
    Matrix_Identity(out);
    out->m[1][1] = out->m[2][2] = c;
    out->m[1][2] = -s;
    out->m[2][1] = s;
}

void Matrix_RotationY(Matrix* out, float degrees)
{
    float s, c;
    SinCos(degrees, &s, &c);
    Matrix_Identity(out);
    out->m[0][0] = out->m[2][2] = c;
    out->m[0][2] = s;
    out->m[2][0] = -s;
}

void Matrix_RotationZ(Matrix* out, float degrees)
{
    float s, c;
    SinCos(degrees, &s, &c);
    Matrix_Identity(out);
    out->m[0][0] = out->m[1][1] = c;
    out->m[0][1] = -s;
    out->m[1][0] = s;
}

void Matrix_Translation(Matrix* out, float x, float y, float z)
{
    Matrix_Identity(out);
    out->m[3][0] = x;
    out->m[3][1] = y;
    out->m[3][2] = z;
}

void Matrix_RotationAxis(Matrix* out, float x, float y, float z, float degrees)
{
    Vec3f n = Normalise({x, y, z});
    Matrix_Identity(out);
    if (n.x == 0.0f && n.y == 0.0f && n.z == 0.0f) return;
    float s, c;
    SinCos(degrees, &s, &c);
    float t = 1.0f - c;
    out->m[0][0] = t * n.x * n.x + c;
    out->m[0][1] = t * n.x * n.y + s * n.z;
    out->m[0][2] = t * n.x * n.z - s * n.y;
    out->m[1][0] = t * n.x * n.y - s * n.z;
    out->m[1][1] = t * n.y * n.y + c;
    out->m[1][2] = t * n.y * n.z + s * n.x;
    out->m[2][0] = t * n.x * n.z + s * n.y;
    out->m[2][1] = t * n.y * n.z - s * n.x;
    out->m[2][2] = t * n.z * n.z + c;
}

void Matrix_LookAt(Matrix* out, Vec3f eye, Vec3f target, Vec3f up)
{
    Vec3f z = Normalise({target.x - eye.x, target.y - eye.y, target.z - eye.z});
    Vec3f x = Normalise(Cross(Normalise(up), z));
    Vec3f y = Normalise(Cross(z, x));
    Zero(out);
    const Vec3f axes[3] = {x, y, z};
    for (int c = 0; c < 3; ++c) {
        out->m[0][c] = axes[c].x;
        out->m[1][c] = axes[c].y;
        out->m[2][c] = axes[c].z;
        out->m[3][c] = -Dot(axes[c], eye);
    }
    out->m[3][3] = 1.0f;
}

void Matrix_Ortho(Matrix* out, float width, float height, float zNear, float zFar)
{
    if (width == 0.0f || height == 0.0f || zNear == zFar) {
        Matrix_Identity(out);
        return;
    }
    Zero(out);
    out->m[0][0] = 2.0f / width;
    out->m[1][1] = 2.0f / height;
    out->m[2][2] = 1.0f / (zFar - zNear);
    out->m[3][2] = zNear / (zNear - zFar);
    out->m[3][3] = 1.0f;
}

void Matrix_Perspective(Matrix* out, float width, float height, float zNear, float zFar)
{
    if (width == 0.0f || height == 0.0f || zNear == zFar) {
        Matrix_Identity(out);
        return;
    }
    Zero(out);
    out->m[0][0] = 2.0f * zNear / width;
    out->m[1][1] = 2.0f * zNear / height;
    out->m[2][2] = zFar / (zFar - zNear);
    out->m[2][3] = 1.0f;
    out->m[3][2] = -zNear * zFar / (zFar - zNear);
}

void Matrix_PerspectiveFov(Matrix* out, float fov, float aspect, float zNear, float zFar)
{
    float tanHalf = fov != 0.0f ? std::tan(fov / 2.0f) : 0.0f;
    if (tanHalf == 0.0f || aspect == 0.0f || zNear == zFar) {
        Matrix_Identity(out);
        return;
    }
    float yScale = 1.0f / tanHalf;
    Zero(out);
    out->m[0][0] = yScale / aspect;
    out->m[1][1] = yScale;
    out->m[2][2] = zFar / (zFar - zNear);
    out->m[2][3] = 1.0f;
    out->m[3][2] = -zNear * zFar / (zFar - zNear);
}

bool Matrix_Invert(Matrix* m)
{
    // Cofactors in double precision, then the adjugate over the determinant.
    double a[16];
    for (int i = 0; i < 16; ++i) a[i] = m->m[i / 4][i % 4];
    double inv[16];
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] + a[13] * a[6] * a[11] -
             a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] - a[8] * a[7] * a[14] - a[12] * a[6] * a[11] +
             a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] + a[12] * a[5] * a[11] -
             a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] - a[8] * a[6] * a[13] - a[12] * a[5] * a[10] +
              a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] - a[9] * a[3] * a[14] - a[13] * a[2] * a[11] +
             a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] + a[12] * a[2] * a[11] -
             a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] - a[12] * a[1] * a[11] +
             a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] + a[12] * a[1] * a[10] -
              a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] + a[13] * a[2] * a[7] -
             a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] - a[12] * a[2] * a[7] +
             a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] + a[12] * a[1] * a[7] -
              a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] - a[12] * a[1] * a[6] +
              a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] - a[9] * a[2] * a[7] +
             a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] + a[8] * a[2] * a[7] -
             a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] - a[8] * a[1] * a[7] +
              a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] + a[8] * a[1] * a[6] -
              a[8] * a[2] * a[5];
    double det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (det == 0.0 || !std::isfinite(det)) return false;
    for (int i = 0; i < 16; ++i) m->m[i / 4][i % 4] = static_cast<float>(inv[i] / det);
    return true;
}
