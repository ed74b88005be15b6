#include "Base/Matrix.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {
using Row = std::array<float, 4>;

Row Transform(Row v, const Matrix& m)
{
    Row r{};
    for (int c = 0; c < 4; ++c)
        for (int k = 0; k < 4; ++k) r[c] += v[k] * m.m[k][c];
    return r;
}

Matrix Make(std::array<float, 16> values)
{
    Matrix m;
    for (int i = 0; i < 16; ++i) m.m[i / 4][i % 4] = values[i];
    return m;
}

void ExpectNear(const Matrix& a, const Matrix& b, float tolerance = 1e-5f)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(a.m[r][c], b.m[r][c], tolerance) << "m" << r << c;
}

void ExpectRow(Row got, Row want, float tolerance = 1e-5f)
{
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], want[i], tolerance) << i;
}

Matrix Identity()
{
    Matrix m;
    Matrix_Identity(&m);
    return m;
}

Matrix Translation(float x, float y, float z)
{
    return Make({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1});
}
}  // namespace

TEST(MatrixTest, MultiplyAppliesLeftFirstAndAllowsAliasing)
{
    Matrix a = Make({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    Matrix b = Make({2, 0, 0, 1, 0, 1, 0, 0, 0, 0, 3, 0, 1, 1, 1, 1});
    // Hand-computed a x b.
    Matrix want = Make({6, 6, 13, 5, 18, 14, 29, 13, 30, 22, 45, 21, 42, 30, 61, 29});
    Matrix out;
    Matrix_Multiply(&out, &a, &b);
    ExpectNear(out, want);

    Matrix left = a;
    Matrix_Multiply(&left, &left, &b);
    ExpectNear(left, want);
    Matrix right = b;
    Matrix_Multiply(&right, &a, &right);
    ExpectNear(right, want);

    // Translate by (1, 0, 0), then by (0, 2, 0).
    Matrix t1 = Translation(1, 0, 0), t2 = Translation(0, 2, 0);
    Matrix both;
    Matrix_Multiply(&both, &t1, &t2);
    ExpectRow(Transform({0, 0, 0, 1}, both), {1, 2, 0, 1});
    Matrix square = t1;
    Matrix_Multiply(&square, &square, &square);
    ExpectRow(Transform({0, 0, 0, 1}, square), {2, 0, 0, 1});
}

TEST(MatrixTest, ElementaryRotations)
{
    Matrix m;
    Matrix_RotationZ(&m, 90);
    ExpectRow(Transform({1, 0, 0, 1}, m), {0, -1, 0, 1});
    Matrix_RotationX(&m, 90);
    ExpectRow(Transform({0, 1, 0, 1}, m), {0, 0, -1, 1});
    Matrix_RotationY(&m, 90);
    ExpectRow(Transform({1, 0, 0, 1}, m), {0, 0, 1, 1});
    Matrix_RotationZ(&m, 0);
    ExpectNear(m, Identity(), 0);
}

TEST(MatrixTest, RotationAboutAnAxis)
{
    Matrix m;
    // 120 degrees about (1, 1, 1) carries x to y.
    Matrix_RotationAxis(&m, 2, 2, 2, 120);
    ExpectRow(Transform({1, 0, 0, 1}, m), {0, 1, 0, 1});
    ExpectRow(Transform({0, 1, 0, 1}, m), {0, 0, 1, 1});

    // About a main axis with the negated angle it is the elementary rotation.
    Matrix axis, z;
    Matrix_RotationAxis(&axis, 0, 0, 5, -30);
    Matrix_RotationZ(&z, 30);
    ExpectNear(axis, z);

    Matrix_RotationAxis(&m, 0, 0, 0, 45);
    ExpectNear(m, Identity(), 0);
}

TEST(MatrixTest, LookAt)
{
    Matrix m;
    Matrix_LookAt(&m, {0, 0, -10}, {0, 0, 0}, {0, 1, 0});
    ExpectNear(m, Translation(0, 0, 10));

    // Looking along +x from (5, 0, 0): the target's direction becomes +z.
    Matrix_LookAt(&m, {5, 0, 0}, {10, 0, 0}, {0, 1, 0});
    ExpectRow(Transform({7, 0, 0, 1}, m), {0, 0, 2, 1});
    ExpectRow(Transform({5, 0, -1, 1}, m), {1, 0, 0, 1});

    // A degenerate eye gives a finite matrix, never NaN.
    Matrix_LookAt(&m, {1, 1, 1}, {1, 1, 1}, {0, 1, 0});
    for (auto& row : m.m)
        for (float v : row) EXPECT_TRUE(std::isfinite(v));
}

TEST(MatrixTest, Projections)
{
    Matrix m;
    Matrix_Ortho(&m, 640, 480, 0, 1);
    ExpectRow(Transform({320, 240, 0.5f, 1}, m), {1, 1, 0.5f, 1});
    Matrix_Ortho(&m, 100, -50, 1, 11);
    ExpectRow(Transform({50, 25, 11, 1}, m), {1, -1, 1, 1});

    // Near and far planes map to depth 0 and 1 after the divide by w.
    Matrix_Perspective(&m, 2, 1, 1, 11);
    Row nearPoint = Transform({1, 0.5f, 1, 1}, m);
    ExpectRow(nearPoint, {1, 1, 0, 1});
    Row farPoint = Transform({0, 0, 11, 1}, m);
    EXPECT_NEAR(farPoint[2] / farPoint[3], 1.0f, 1e-6f);

    Matrix_PerspectiveFov(&m, 3.14159265f / 2, 2, 1, 11);
    EXPECT_NEAR(m.m[1][1], 1.0f, 1e-6f);
    EXPECT_NEAR(m.m[0][0], 0.5f, 1e-6f);
    EXPECT_NEAR(m.m[2][2], 1.1f, 1e-6f);
    EXPECT_NEAR(m.m[3][2], -1.1f, 1e-6f);
    EXPECT_EQ(m.m[2][3], 1.0f);
    EXPECT_EQ(m.m[3][3], 0.0f);

    struct Degenerate {
        float a, b, zNear, zFar;
    };
    const Degenerate cases[] = {{640, 480, 5, 5}, {0, 480, 0, 1}, {640, 0, 0, 1}};
    for (const Degenerate& d : cases) {
        Matrix_Ortho(&m, d.a, d.b, d.zNear, d.zFar);
        ExpectNear(m, Identity(), 0);
        Matrix_Perspective(&m, d.a, d.b, d.zNear, d.zFar);
        ExpectNear(m, Identity(), 0);
        Matrix_PerspectiveFov(&m, d.a, d.b, d.zNear, d.zFar);
        ExpectNear(m, Identity(), 0);
    }
}

TEST(MatrixTest, Invert)
{
    Matrix m = Translation(3, 4, 5);
    ASSERT_TRUE(Matrix_Invert(&m));
    ExpectNear(m, Translation(-3, -4, -5));

    // Scale (2, 4, 5) then translate (1, 2, 3): hand-computed inverse.
    m = Make({2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 5, 0, 1, 2, 3, 1});
    ASSERT_TRUE(Matrix_Invert(&m));
    ExpectNear(m, Make({0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 0.2f, 0, -0.5f, -0.5f, -0.6f, 1}));

    Matrix general = Make({1, 2, 0, 0, 0, 1, 3, 0, 4, 0, 1, 0, 1, 1, 1, 1});
    Matrix inverse = general;
    ASSERT_TRUE(Matrix_Invert(&inverse));
    Matrix product;
    Matrix_Multiply(&product, &general, &inverse);
    ExpectNear(product, Identity());

    Matrix singular = Make({1, 2, 3, 4, 0, 0, 0, 0, 5, 6, 7, 8, 9, 10, 11, 12});
    Matrix before = singular;
    EXPECT_FALSE(Matrix_Invert(&singular));
    ExpectNear(singular, before, 0);
}
