// draw_text and its colour, separated and transformed forms, and the string
// measures: the value becomes text, the short forms get their defaults, and
// text layout does the rest.
#include "Function/Function_GraphicsText.h"

#include <cstdio>
#include <cstring>

#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_ValueConvert.h"
#include "Font/Graphics_Text.h"

void FormatValueToString(const ScriptValue* value, int32_t initialSize, char** out)
{
    int32_t capacity = initialSize > 0 ? initialSize : 1;
    char* start = static_cast<char*>(QS_ALLOC(static_cast<size_t>(capacity), true));
    start[0] = 0;
    char* cursor = start;
    ScriptValue_AppendText(&cursor, &start, &capacity, value);
    const size_t used = std::strlen(start) + 1;
    if (static_cast<size_t>(capacity) > used) {
        if (char* shrunk = static_cast<char*>(QS_REALLOC(start, used))) start = shrunk;
    }
    *out = start;
}

namespace {

using Args = ScriptValue*;

bool Need(int argc, int count) { return Arg_Need(argc, count, "draw_text"); }

float F(Args a, int n) { return Arg_Float(a, n); }
int I(Args a, int n) { return Arg_Int32(a, n); }
uint32_t C(Args a, int n) { return static_cast<uint32_t>(Arg_Int32(a, n)); }

// The drawn value's text for the length of one call.
struct ValueText {
    char* text = nullptr;
    explicit ValueText(const ScriptValue* value) { FormatValueToString(value, 1024, &text); }
    ~ValueText() { QS_FREE(text); }
    ValueText(const ValueText&) = delete;
    ValueText& operator=(const ValueText&) = delete;
};

// A tracked copy of a string argument; an object gives no text.
struct StringCopy {
    char* text = nullptr;
    StringCopy(Args a, int n)
    {
        const char* s = Arg_String(a, n);
        if (s) text = DupString(s);
    }
    ~StringCopy() { QS_FREE(text); }
    StringCopy(const StringCopy&) = delete;
    StringCopy& operator=(const StringCopy&) = delete;
};

void F_DrawText(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 3)) return;
    const float x = F(a, 0), y = F(a, 1);
    ValueText t(&a[2]);
    Text_Draw(x, y, t.text, -1, -1);
}
void F_DrawTextExt(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 5)) return;
    const float x = F(a, 0), y = F(a, 1);
    const int separation = I(a, 3), width = I(a, 4);
    ValueText t(&a[2]);
    Text_Draw(x, y, t.text, separation, width);
}
void F_DrawTextColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 8)) return;
    const float x = F(a, 0), y = F(a, 1);
    const uint32_t c1 = C(a, 3), c2 = C(a, 4), c3 = C(a, 5), c4 = C(a, 6);
    const float alpha = F(a, 7);
    ValueText t(&a[2]);
    Text_DrawColour(x, y, t.text, -1, -1, c1, c2, c3, c4, alpha);
}
void F_DrawTextExtColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 10)) return;
    const float x = F(a, 0), y = F(a, 1);
    const int separation = I(a, 3), width = I(a, 4);
    const uint32_t c1 = C(a, 5), c2 = C(a, 6), c3 = C(a, 7), c4 = C(a, 8);
    const float alpha = F(a, 9);
    ValueText t(&a[2]);
    Text_DrawColour(x, y, t.text, separation, width, c1, c2, c3, c4, alpha);
}
void F_DrawTextTransformed(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 6)) return;
    const float x = F(a, 0), y = F(a, 1), xs = F(a, 3), ys = F(a, 4), angle = F(a, 5);
    ValueText t(&a[2]);
    Text_DrawTransformed(x, y, t.text, -1, -1, xs, ys, angle);
}
void F_DrawTextExtTransformed(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 8)) return;
    const float x = F(a, 0), y = F(a, 1);
    const int separation = I(a, 3), width = I(a, 4);
    const float xs = F(a, 5), ys = F(a, 6), angle = F(a, 7);
    ValueText t(&a[2]);
    Text_DrawTransformed(x, y, t.text, separation, width, xs, ys, angle);
}
void F_DrawTextTransformedColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 11)) return;
    const float x = F(a, 0), y = F(a, 1), xs = F(a, 3), ys = F(a, 4), angle = F(a, 5);
    const uint32_t c1 = C(a, 6), c2 = C(a, 7), c3 = C(a, 8), c4 = C(a, 9);
    const float alpha = F(a, 10);
    ValueText t(&a[2]);
    Text_DrawTransformedColour(x, y, t.text, -1, -1, xs, ys, angle, c1, c2, c3, c4, alpha);
}
void F_DrawTextExtTransformedColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 13)) return;
    const float x = F(a, 0), y = F(a, 1);
    const int separation = I(a, 3), width = I(a, 4);
    const float xs = F(a, 5), ys = F(a, 6), angle = F(a, 7);
    const uint32_t c1 = C(a, 8), c2 = C(a, 9), c3 = C(a, 10), c4 = C(a, 11);
    const float alpha = F(a, 12);
    ValueText t(&a[2]);
    Text_DrawTransformedColour(x, y, t.text, separation, width, xs, ys, angle, c1, c2, c3, c4, alpha);
}

void F_StringWidth(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    StringCopy s(a, 0);
    ScriptValue_SetReal(r, Text_GetWidth(s.text, -1, -1));
}
void F_StringWidthExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 3)) return;
    StringCopy s(a, 0);
    const int separation = I(a, 1), width = I(a, 2);
    ScriptValue_SetReal(r, Text_GetWidth(s.text, separation, width));
}
void F_StringHeight(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    StringCopy s(a, 0);
    ScriptValue_SetReal(r, Text_GetHeight(s.text, -1, -1));
}
void F_StringHeightExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 3)) return;
    StringCopy s(a, 0);
    const int separation = I(a, 1), width = I(a, 2);
    ScriptValue_SetReal(r, Text_GetHeight(s.text, separation, width));
}

struct Row {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Row kFunctions[] = {
    {"draw_text", F_DrawText, 3},
    {"draw_text_ext", F_DrawTextExt, 5},
    {"draw_text_colour", F_DrawTextColour, 8},
    {"draw_text_color", F_DrawTextColour, 8},
    {"draw_text_ext_colour", F_DrawTextExtColour, 10},
    {"draw_text_ext_color", F_DrawTextExtColour, 10},
    {"draw_text_transformed", F_DrawTextTransformed, 6},
    {"draw_text_ext_transformed", F_DrawTextExtTransformed, 8},
    {"draw_text_transformed_colour", F_DrawTextTransformedColour, 11},
    {"draw_text_transformed_color", F_DrawTextTransformedColour, 11},
    {"draw_text_ext_transformed_colour", F_DrawTextExtTransformedColour, 13},
    {"draw_text_ext_transformed_color", F_DrawTextExtTransformedColour, 13},
    {"string_width", F_StringWidth, 1},
    {"string_width_ext", F_StringWidthExt, 3},
    {"string_height", F_StringHeight, 1},
    {"string_height_ext", F_StringHeightExt, 3},
};

}  // namespace

void InitGraphicTextFunctions()
{
    for (const Row& f : kFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
}
