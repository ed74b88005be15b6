// The numeric built-ins: rounding, elementary functions, trigonometry in a
// single-precision pipeline, plane geometry, aggregates and the tolerance.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/MathEpsilon.h"
#include "Function/Function_Math.h"
#include "Function/Function_MathRoutines.h"

namespace {
constexpr float kPi = 3.1415927f;
constexpr float kSnap = 1e-5f;
constexpr float kLengthDirSnap = 1e-4f;

// Trigonometric results below the snap threshold are exactly 0.
void SetSnapped(ScriptValue* result, float r) { ScriptValue_SetReal(result, std::fabs(r) < kSnap ? 0.0 : r); }
float ToRadians(float degrees) { return degrees * kPi / 180.0f; }
float ToDegrees(float radians) { return radians * 180.0f / kPi; }
float Library(double (*fn)(double), float x) { return static_cast<float>(fn(x)); }

// arcsin/arccos domain check on the float argument; reports and gives 0 outside it.
bool InUnitRange(ScriptValue* result, float x, const char* message)
{
    if (x >= -1.0f && x <= 1.0f) return true;
    ReportRuntimeError(message, false);
    ScriptValue_SetReal(result, 0.0);
    return false;
}

constexpr const char* kArcSinError = "Error in function arcsin().";
constexpr const char* kArcCosError = "Error in function arccos().";

float LengthDirSnap(float r)
{
    const float whole = std::trunc(r);
    return std::fabs(r - whole) < kLengthDirSnap ? whole : r;
}

// Strict weak order for the median sort: NaN after every number.
bool LessNanLast(double a, double b) { return a < b || (!std::isnan(a) && std::isnan(b)); }
}  // namespace

double DegToRad(double degrees) { return degrees * static_cast<double>(kPi) / 180.0; }

float PointDirection(float x1, float y1, float x2, float y2)
{
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    if (dx == 0.0f) {
        if (dy > 0.0f) return 270.0f;
        return dy < 0.0f ? 90.0f : 0.0f;
    }
    const float a = static_cast<float>(std::atan2(static_cast<double>(dy), static_cast<double>(dx))) * 180.0f / kPi;
    return a <= 0.0f ? -a : 360.0f - a;
}

// ---------------------------------------------------------------- rounding and elementary

void F_Abs(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { ScriptValue_SetReal(r, std::fabs(Arg_Real(a, 0))); }

void F_Round(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const double rounded = std::nearbyint(Arg_Real(a, 0));  // default mode: ties to even
    const bool fits = rounded >= -2147483648.0 && rounded <= 2147483647.0;  // NaN fails
    ScriptValue_SetReal(r, fits ? rounded : 0.0);
}

void F_Floor(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { ScriptValue_SetReal(r, std::floor(Arg_Real(a, 0))); }
void F_Ceil(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { ScriptValue_SetReal(r, std::ceil(Arg_Real(a, 0))); }

void F_Sign(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const double x = Arg_Real(a, 0);
    ScriptValue_SetReal(r, x > 0.0 ? 1.0 : (x == 0.0 ? 0.0 : -1.0));
}

void F_Frac(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const double x = Arg_Real(a, 0);
    ScriptValue_SetReal(r, x - std::trunc(x));
}

void F_Sqrt(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const double x = Arg_Real(a, 0);
    if (x < 0.0) {
        ReportRuntimeError("Cannot apply sqrt to negative number.", false);
        ScriptValue_SetReal(r, 0.0);
        return;
    }
    ScriptValue_SetReal(r, std::sqrt(x));
}

void F_Sqr(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const double x = Arg_Real(a, 0);
    ScriptValue_SetReal(r, x * x);
}

void F_Exp(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { ScriptValue_SetReal(r, std::exp(Arg_Real(a, 0))); }
void F_Ln(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { ScriptValue_SetReal(r, std::log(Arg_Real(a, 0))); }
void F_Log2(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { ScriptValue_SetReal(r, std::log(Arg_Real(a, 0)) / std::log(2.0)); }
void F_Log10(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { ScriptValue_SetReal(r, std::log10(Arg_Real(a, 0))); }

void F_LogN(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const double n = Arg_Real(a, 0);
    const double x = Arg_Real(a, 1);
    ScriptValue_SetReal(r, std::log(x) / std::log(n));
}

void F_Power(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const double x = Arg_Real(a, 0);
    const double n = Arg_Real(a, 1);
    ScriptValue_SetReal(r, std::pow(x, n));
}

// ---------------------------------------------------------------- trigonometry

void F_Sin(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { SetSnapped(r, Library(std::sin, Arg_Float(a, 0))); }
void F_Cos(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { SetSnapped(r, Library(std::cos, Arg_Float(a, 0))); }
void F_Tan(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { SetSnapped(r, Library(std::tan, Arg_Float(a, 0))); }
void F_ArcTan(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { SetSnapped(r, Library(std::atan, Arg_Float(a, 0))); }

void F_ArcSin(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float x = Arg_Float(a, 0);
    if (InUnitRange(r, x, kArcSinError)) SetSnapped(r, Library(std::asin, x));
}

void F_ArcCos(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float x = Arg_Float(a, 0);
    if (InUnitRange(r, x, kArcCosError)) SetSnapped(r, Library(std::acos, x));
}

void F_ArcTan2(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float y = Arg_Float(a, 0);
    const float x = Arg_Float(a, 1);
    SetSnapped(r, static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x))));
}

void F_DSin(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { SetSnapped(r, Library(std::sin, ToRadians(Arg_Float(a, 0)))); }
void F_DCos(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { SetSnapped(r, Library(std::cos, ToRadians(Arg_Float(a, 0)))); }
void F_DTan(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { SetSnapped(r, Library(std::tan, ToRadians(Arg_Float(a, 0)))); }
void F_DArcTan(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { SetSnapped(r, ToDegrees(Library(std::atan, Arg_Float(a, 0)))); }

void F_DArcSin(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float x = Arg_Float(a, 0);
    if (InUnitRange(r, x, kArcSinError)) SetSnapped(r, ToDegrees(Library(std::asin, x)));
}

void F_DArcCos(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float x = Arg_Float(a, 0);
    if (InUnitRange(r, x, kArcCosError)) SetSnapped(r, ToDegrees(Library(std::acos, x)));
}

void F_DArcTan2(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float y = Arg_Float(a, 0);
    const float x = Arg_Float(a, 1);
    SetSnapped(r, ToDegrees(static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x)))));
}

void F_DegToRad(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { ScriptValue_SetReal(r, DegToRad(Arg_Real(a, 0))); }

void F_RadToDeg(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    ScriptValue_SetReal(r, Arg_Real(a, 0) * 180.0 / static_cast<double>(kPi));
}

// ---------------------------------------------------------------- geometry

void F_PointDistance(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float dx = Arg_Float(a, 2) - Arg_Float(a, 0);
    const float dy = Arg_Float(a, 3) - Arg_Float(a, 1);
    ScriptValue_SetReal(r, static_cast<float>(std::sqrt(static_cast<double>(dx * dx + dy * dy))));
}

void F_PointDistance3D(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float dx = Arg_Float(a, 3) - Arg_Float(a, 0);
    const float dy = Arg_Float(a, 4) - Arg_Float(a, 1);
    const float dz = Arg_Float(a, 5) - Arg_Float(a, 2);
    ScriptValue_SetReal(r, static_cast<float>(std::sqrt(static_cast<double>(dx * dx + dy * dy + dz * dz))));
}

void F_PointDirection(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    ScriptValue_SetReal(r, PointDirection(Arg_Float(a, 0), Arg_Float(a, 1), Arg_Float(a, 2), Arg_Float(a, 3)));
}

void F_LengthDirX(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float length = Arg_Float(a, 0);
    const float c = Library(std::cos, ToRadians(Arg_Float(a, 1)));
    ScriptValue_SetReal(r, LengthDirSnap(length * c));
}

void F_LengthDirY(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float length = Arg_Float(a, 0);
    const float s = Library(std::sin, ToRadians(Arg_Float(a, 1)));
    ScriptValue_SetReal(r, LengthDirSnap(-(length * s)));
}

void F_DotProduct(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    ScriptValue_SetReal(r, Arg_Real(a, 0) * Arg_Real(a, 2) + Arg_Real(a, 1) * Arg_Real(a, 3));
}

void F_DotProduct3D(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const double x1 = Arg_Real(a, 0), y1 = Arg_Real(a, 1), z1 = Arg_Real(a, 2);
    const double x2 = Arg_Real(a, 3), y2 = Arg_Real(a, 4), z2 = Arg_Real(a, 5);
    ScriptValue_SetReal(r, z1 * z2 + (y1 * y2 + x1 * x2));
}

void F_DotProductNormalised(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float x1 = Arg_Float(a, 0), y1 = Arg_Float(a, 1), x2 = Arg_Float(a, 2), y2 = Arg_Float(a, 3);
    const float l1 = static_cast<float>(std::sqrt(static_cast<double>(x1 * x1 + y1 * y1)));
    const float l2 = static_cast<float>(std::sqrt(static_cast<double>(x2 * x2 + y2 * y2)));
    ScriptValue_SetReal(r, (x1 * x2 + y1 * y2) / (l1 * l2));
}

void F_DotProduct3DNormalised(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float x1 = Arg_Float(a, 0), y1 = Arg_Float(a, 1), z1 = Arg_Float(a, 2);
    const float x2 = Arg_Float(a, 3), y2 = Arg_Float(a, 4), z2 = Arg_Float(a, 5);
    const float l1 = static_cast<float>(std::sqrt(static_cast<double>(x1 * x1 + y1 * y1 + z1 * z1)));
    const float l2 = static_cast<float>(std::sqrt(static_cast<double>(x2 * x2 + y2 * y2 + z2 * z2)));
    ScriptValue_SetReal(r, (x1 * x2 + y1 * y2 + z1 * z2) / (l1 * l2));
}

void F_AngleDifference(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float d = std::fmod(Arg_Float(a, 0) - Arg_Float(a, 1), 360.0f);
    ScriptValue_SetReal(r, std::fmod(d + 540.0f, 360.0f) - 180.0f);
}

// ---------------------------------------------------------------- aggregates

namespace {
// min and max: a copy of the chosen argument, whatever its kind; ties keep the earliest.
void Extreme(ScriptValue* result, int argc, ScriptValue* args, bool wantMax)
{
    if (argc <= 0) {
        ScriptValue_SetReal(result, 0.0);
        return;
    }
    int chosen = 0;
    double current = Arg_Real(args, 0);
    for (int i = 1; i < argc; ++i) {
        const double v = Arg_Real(args, i);
        if (wantMax ? current < v : current > v) {
            chosen = i;
            current = v;
        }
    }
    result->Assign(args[chosen]);
}
}  // namespace

void F_Min(ScriptValue* r, CInstance*, CInstance*, int argc, ScriptValue* a) { Extreme(r, argc, a, false); }
void F_Max(ScriptValue* r, CInstance*, CInstance*, int argc, ScriptValue* a) { Extreme(r, argc, a, true); }

void F_Mean(ScriptValue* r, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    double sum = 0.0;
    for (int i = 0; i < argc; ++i) sum += Arg_Real(a, i);
    ScriptValue_SetReal(r, argc > 0 ? sum / argc : 0.0);
}

void F_Median(ScriptValue* r, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    if (argc <= 0) {
        ScriptValue_SetReal(r, 0.0);
        return;
    }
    std::vector<double> values;
    values.reserve(static_cast<size_t>(argc));
    for (int i = 0; i < argc; ++i) values.push_back(Arg_Real(a, i));
    std::sort(values.begin(), values.end(), LessNanLast);
    ScriptValue_SetReal(r, values[static_cast<size_t>(argc / 2)]);
}

void F_Clamp(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const double value = Arg_Real(a, 0), lo = Arg_Real(a, 1), hi = Arg_Real(a, 2);
    ScriptValue_SetReal(r, std::min(hi, std::max(lo, value)));
}

void F_Lerp(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const double from = Arg_Real(a, 0), to = Arg_Real(a, 1), t = Arg_Real(a, 2);
    ScriptValue_SetReal(r, from + (to - from) * t);
}

// ---------------------------------------------------------------- tolerance

void F_MathSetEpsilon(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* a)
{
    double e = Arg_Real(a, 0);
    if (!(e >= 0.0 && e < 1.0)) return;
    MathEpsilon = e == 0.0 ? 1e-11 : e;
}

void F_MathGetEpsilon(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue*) { ScriptValue_SetReal(r, MathEpsilon); }
