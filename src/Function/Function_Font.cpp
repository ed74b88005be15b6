// The font built-ins: argument checks and messages around the font table's
// operations (Font_Main.h).
#include "Function/Function_Font.h"

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Font/Font_Class.h"
#include "Font/Font_Main.h"
#include "Sprite/Sprite_Main.h"

namespace {

using Args = ScriptValue*;

bool Need(int argc, int count) { return Arg_Need(argc, count, "font"); }
int I(Args a, int n) { return Arg_Int32(a, n); }
void Error(const char* message) { ReportRuntimeError(message, false); }

// The font named by argument 0, null when there is none (or too few arguments).
CFontQS* Target(int argc, Args a)
{
    if (!Need(argc, 1)) return nullptr;
    return Font_Get(I(a, 0));
}

void F_Exists(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetReal(r, Font_Exists(I(a, 0)) ? 1.0 : 0.0);
}
void F_GetName(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetString(r, Font_Name(I(a, 0)));
}
void F_GetFontName(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    const CFontQS* f = Target(argc, a);
    const char* name = f ? f->GetName() : nullptr;
    ScriptValue_SetString(r, name ? name : "");
}
void F_GetSize(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    const CFontQS* f = Target(argc, a);
    ScriptValue_SetReal(r, f ? f->GetSize() : 0.0);
}
void F_GetBold(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    const CFontQS* f = Target(argc, a);
    ScriptValue_SetReal(r, f && f->GetBold() ? 1.0 : 0.0);
}
void F_GetItalic(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    const CFontQS* f = Target(argc, a);
    ScriptValue_SetReal(r, f && f->GetItalic() ? 1.0 : 0.0);
}
void F_GetFirst(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    const CFontQS* f = Target(argc, a);
    ScriptValue_SetReal(r, f ? f->GetFirst() : -1.0);
}
void F_GetLast(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    const CFontQS* f = Target(argc, a);
    ScriptValue_SetReal(r, f ? f->GetLast() : -1.0);
}

void F_Add(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 6)) return;
    const char* name = Arg_String(a, 0);
    const int size = I(a, 1);
    const bool bold = Arg_Bool(a, 2), italic = Arg_Bool(a, 3);
    const int first = I(a, 4), last = I(a, 5);
    ScriptValue_SetReal(r, Font_Add(name, size, bold, italic, first, last));
}

void F_AddSprite(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 4)) return;
    const int32_t sprite = I(a, 0);
    const int first = I(a, 1);
    const int proportional = Arg_Bool(a, 2) ? 1 : 0;
    const int separation = I(a, 3);
    if (!Sprite_Exists(sprite)) {
        Error("Trying to create font from non-existing sprite.");
        return ScriptValue_SetReal(r, -1.0);
    }
    ScriptValue_SetReal(r, Font_AddSprite(sprite, first, proportional, separation));
}

void F_AddSpriteExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 4)) return;
    const int32_t sprite = I(a, 0);
    const char* map = Arg_String(a, 1);
    const int proportional = Arg_Bool(a, 2) ? 1 : 0;
    const int separation = I(a, 3);
    if (!Sprite_Exists(sprite)) {
        Error("Trying to create font from non-existing sprite.");
        return ScriptValue_SetReal(r, -1.0);
    }
    ScriptValue_SetReal(r, Font_AddSpriteExt(sprite, map ? map : "", proportional, separation));
}

void F_Replace(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 7)) return;
    const int32_t index = I(a, 0);
    const char* name = Arg_String(a, 1);
    const int size = I(a, 2);
    const bool bold = Arg_Bool(a, 3), italic = Arg_Bool(a, 4);
    const int first = I(a, 5), last = I(a, 6);
    if (!Font_Exists(index)) {
        Error("Trying to replace non-existing font.");
        return ScriptValue_SetReal(r, 0.0);
    }
    ScriptValue_SetReal(r, Font_Replace(index, name, size, bold, italic, first, last) ? 1.0 : 0.0);
}

// The checks of both sprite replacements: a missing font is reported but the
// call goes on (the table answers for the index); a missing sprite ends it.
bool ReplaceSpriteAllowed(ScriptValue* r, int32_t index, int32_t sprite)
{
    if (!Font_Exists(index)) Error("Trying to replace non-existing font.");
    if (Sprite_Exists(sprite)) return true;
    Error("Trying to replace font from non-existing sprite.");
    ScriptValue_SetReal(r, 0.0);
    return false;
}

void F_ReplaceSprite(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 5)) return;
    const int32_t index = I(a, 0), sprite = I(a, 1);
    const int first = I(a, 2);
    const int proportional = Arg_Bool(a, 3) ? 1 : 0;
    const int separation = I(a, 4);
    if (!ReplaceSpriteAllowed(r, index, sprite)) return;
    ScriptValue_SetReal(r, Font_ReplaceSprite(index, sprite, first, proportional, separation) ? 1.0 : 0.0);
}

void F_ReplaceSpriteExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 5)) return;
    const int32_t index = I(a, 0), sprite = I(a, 1);
    const char* map = Arg_String(a, 2);
    const int proportional = Arg_Bool(a, 3) ? 1 : 0;
    const int separation = I(a, 4);
    if (!ReplaceSpriteAllowed(r, index, sprite)) return;
    ScriptValue_SetReal(r, Font_ReplaceSpriteExt(index, sprite, map ? map : "", proportional, separation) ? 1.0 : 0.0);
}

void F_Delete(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const int32_t index = I(a, 0);
    if (!Font_Exists(index)) {
        Error("Trying to delete non-existing font.");
        return ScriptValue_SetReal(r, 0.0);
    }
    Font_Delete(index);
    ScriptValue_SetReal(r, 1.0);
}

// Glyph caches size themselves; the setting is accepted and ignored.
void F_SetCacheSize(ScriptValue* r, CInstance*, CInstance*, int, Args) { ScriptValue_SetReal(r, 0.0); }

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t args;
};

const Entry kFont[] = {
    {"font_set_cache_size", F_SetCacheSize, 2},
    {"font_name", F_GetName, 1},
    {"font_exists", F_Exists, 1},
    {"font_get_name", F_GetName, 1},
    {"font_get_fontname", F_GetFontName, 1},
    {"font_get_size", F_GetSize, 1},
    {"font_get_bold", F_GetBold, 1},
    {"font_get_italic", F_GetItalic, 1},
    {"font_get_first", F_GetFirst, 1},
    {"font_get_last", F_GetLast, 1},
    {"font_add", F_Add, 6},
    {"font_replace", F_Replace, 7},
    {"font_add_sprite", F_AddSprite, 4},
    {"font_add_sprite_ext", F_AddSpriteExt, 4},
    {"font_replace_sprite", F_ReplaceSprite, 5},
    {"font_replace_sprite_ext", F_ReplaceSpriteExt, 5},
    {"font_delete", F_Delete, 1},
};
}  // namespace

void InitFontFunctions()
{
    for (const Entry& e : kFont) CodeFunction_Register(e.name, e.routine, e.args, 0);
}
