// The background_* resource built-ins: queries, run-time backgrounds from
// files, colours, gradients, the screen and surfaces, copies, deletion, saving and
// texture prefetching. Misuse that concerns game code is reported as a
// non-fatal error; the rest goes to the log.
#include "Function/Function_ResourceBackground.h"

#include <vector>

#include "Background/Background_Main.h"
#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Graphics/Graphics_Bitmap32.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Surface.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TBitmap.h"
#include "Graphics/TexturesM.h"
#include "Graphics/WritePNG.h"

namespace {

using Args = ScriptValue*;

bool Need(int argc, int count) { return Arg_Need(argc, count, "background"); }
void SetReal(ScriptValue* r, double d) { ScriptValue_SetReal(r, d); }
int32_t I(Args a, int n) { return Arg_Int32(a, n); }

// The optional trailing preload argument of the creating forms (true when absent).
bool Preload(int argc, Args a, int at) { return argc > at ? Arg_Bool(a, at) : true; }

void F_Exists(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) SetReal(r, Background_Exists(I(a, 0)) ? 1 : 0);
}

void F_Name(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetUndefined(r);
    ScriptValue_InitString(r, Background_Name(I(a, 0)));
}

// Getters of a missing background give -1.
template <typename Get>
void Query(ScriptValue* r, int argc, Args a, Get get)
{
    if (!Need(argc, 1)) return;
    const BackgroundResource* b = Background_Get(I(a, 0));
    SetReal(r, b ? get(b) : -1.0);
}

void F_Width(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](const BackgroundResource* b) { return double(b->GetWidth()); });
}
void F_Height(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](const BackgroundResource* b) { return double(b->GetHeight()); });
}
void F_Transparent(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](const BackgroundResource* b) { return b->GetTransparent() ? 1.0 : 0.0; });
}
void F_Smooth(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](const BackgroundResource* b) { return b->GetSmooth() ? 1.0 : 0.0; });
}
void F_Preload(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](const BackgroundResource* b) { return b->GetPreload() ? 1.0 : 0.0; });
}

void F_Add(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 3)) return;
    const char* name = Arg_String(a, 0);
    SetReal(r, Background_Add(name, Arg_Bool(a, 1), Arg_Bool(a, 2), Preload(argc, a, 3)));
}

void F_CreateColour(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 3)) return;
    const int32_t index = Background_AddEmpty();
    if (BackgroundResource* b = Background_Get(index))
        b->CreateColour(I(a, 0), I(a, 1), static_cast<uint32_t>(I(a, 2)), Preload(argc, a, 3));
    SetReal(r, index);
}

void F_CreateGradient(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 5)) return;
    const int32_t index = Background_AddEmpty();
    if (BackgroundResource* b = Background_Get(index))
        b->CreateGradient(I(a, 0), I(a, 1), static_cast<uint32_t>(I(a, 2)), static_cast<uint32_t>(I(a, 3)), I(a, 4),
                          Preload(argc, a, 5));
    SetReal(r, index);
}

void F_CreateFromScreen(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 6)) return;
    const int32_t index = Background_AddEmpty();
    SetReal(r, index);
    BackgroundResource* b = Background_Get(index);
    TBitmap* bitmap = b ? GR_ScreenToBitmap(I(a, 0), I(a, 1), I(a, 2), I(a, 3)) : nullptr;
    if (!bitmap) return;
    const bool removeBack = I(a, 4) > 0, smooth = I(a, 5) > 0;
    // The form with preload keeps no alpha.
    if (argc > 6) b->CreateFromTBitmap(bitmap, removeBack, smooth, I(a, 6) > 0, false);
    else b->CreateFromTBitmap(bitmap, removeBack, smooth, false, !removeBack);
    delete bitmap;
}

void F_CreateFromSurface(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 7)) return;
    const int32_t index = Background_AddEmpty();
    SetReal(r, index);
    BackgroundResource* b = Background_Get(index);
    TBitmap* bitmap = b ? GR_Surface_ToBitmap(I(a, 0), I(a, 1), I(a, 2), I(a, 3), I(a, 4)) : nullptr;
    if (!bitmap) return;
    const bool removeBack = I(a, 5) > 0;
    b->CreateFromTBitmap(bitmap, removeBack, I(a, 6) > 0, Preload(argc, a, 7), !removeBack);
    delete bitmap;
}

void F_Replace(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 4)) return;
    const int32_t index = I(a, 0);
    const char* name = Arg_String(a, 1);
    if (!Background_Exists(index)) {
        ReportRuntimeError("Trying to replace non-existing background.", false);
        SetReal(r, 0);
        return;
    }
    SetReal(r, Background_Replace(index, name, Arg_Bool(a, 2), Arg_Bool(a, 3), Preload(argc, a, 4)) ? 1 : 0);
}

void F_Unsupported(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    LogConsole->Output("%s: unsupported function\n",
                       CurrentBuiltinFunction ? CurrentBuiltinFunction->name : "background");
    SetReal(r, -1);
}

void F_Delete(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const int32_t index = I(a, 0);
    if (!Background_Exists(index)) {
        ReportRuntimeError("Trying to delete non-existing background.", false);
        SetReal(r, 0);
        return;
    }
    Background_Delete(index);
    SetReal(r, 1);
}

void F_Duplicate(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const int32_t index = I(a, 0);
    if (!Background_Exists(index)) {
        ReportRuntimeError("Trying to duplicate non-existing background.", false);
        SetReal(r, -1);
        return;
    }
    SetReal(r, Background_Duplicate(index));
}

void F_Assign(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 2) && !Background_Assign(I(a, 0), I(a, 1)))
        ReportRuntimeError("Error assigning a background.", false);
}

void F_SetAlphaFrom(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 2)) return;
    BackgroundResource* target = Background_Get(I(a, 0));
    const BackgroundResource* source = Background_Get(I(a, 1));
    if (target && source) target->SetAlphaFrom(source);
}

void F_Save(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 2)) return;
    const BackgroundResource* b = Background_Get(I(a, 0));
    const char* name = a[1].Kind() == VALUE_STRING ? ScriptValue_StringText(&a[1]) : nullptr;
    if (!b || !name) return ReportRuntimeError("Trying to save non-existing background bitmap.", false);
    const CBitmap32* bitmap = b->GetBitmap();
    if (!bitmap) {
        LogConsole->Output("background_save() failed - no bitmap data available\n");
        return;
    }
    // Bitmap words are 0xAARRGGBB (bytes blue, green, red, alpha); the writer takes red first.
    const size_t count = size_t(bitmap->GetWidth()) * size_t(bitmap->GetHeight());
    std::vector<uint8_t> rgba(count * 4);
    const uint32_t* pixels = bitmap->GetPixels();
    for (size_t i = 0; i < count; ++i) {
        rgba[4 * i] = static_cast<uint8_t>(pixels[i] >> 16);
        rgba[4 * i + 1] = static_cast<uint8_t>(pixels[i] >> 8);
        rgba[4 * i + 2] = static_cast<uint8_t>(pixels[i]);
        rgba[4 * i + 3] = static_cast<uint8_t>(pixels[i] >> 24);
    }
    if (!write_png_file(name, rgba.data(), bitmap->GetWidth(), bitmap->GetHeight()))
        LogConsole->Output("background_save() failed - cannot write %s\n", name);
}

// Makes the texture a background draws from ready on the device; false when the background is missing.
bool Prefetch(int32_t index)
{
    const BackgroundResource* b = Background_Get(index);
    if (!b) return false;
    const int32_t texture = b->GetDrawTexture();
    if (GR_Texture_Exists(texture)) GR_D3D_PrepareTexture(GR_Texture_GetD3D(texture));
    return true;
}

void F_Prefetch(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const int32_t index = I(a, 0);
    if (!Prefetch(index)) LogConsole->Output("background_prefetch: Background id %d not found\n", index);
    SetReal(r, 0);
}

void F_PrefetchMulti(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    SetReal(r, -1);
    if (a[0].Kind() != VALUE_ARRAY) {
        LogConsole->Output("background_prefetch_multi: parameter should be array of sprite indices\n");
        return;
    }
    const RefArray* array = a[0].arr;
    if (!array || array->rowCount != 1 || !array->rows) {
        LogConsole->Output("background_prefetch_multi: array parameter invalid\n");
        return;
    }
    const RefArrayRow& row = array->rows[0];
    for (int32_t k = 0; k < row.length; ++k) {
        ScriptValue* entry = &row.elements[k];
        if (entry->Kind() != VALUE_REAL) {
            LogConsole->Output("background_prefetch_multi: array entry %d has wrong type\n", k);
            continue;
        }
        const int32_t index = Arg_Int32(entry, 0);
        if (!Prefetch(index)) LogConsole->Output("background_prefetch_multi: Background id %d not found\n", index);
    }
    SetReal(r, 0);
}

struct Row {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Row kFunctions[] = {
    {"background_exists", F_Exists, 1},
    {"background_name", F_Name, 1},
    {"background_get_name", F_Name, 1},
    {"background_get_width", F_Width, 1},
    {"background_get_height", F_Height, 1},
    {"background_get_transparent", F_Transparent, 1},
    {"background_get_smooth", F_Smooth, 1},
    {"background_get_preload", F_Preload, 1},
    {"background_add", F_Add, 3},
    {"background_create_color", F_CreateColour, 3},
    {"background_create_colour", F_CreateColour, 3},
    {"background_create_gradient", F_CreateGradient, 5},
    {"background_create_from_screen", F_CreateFromScreen, 6},
    {"background_create_from_surface", F_CreateFromSurface, 7},
    {"background_replace", F_Replace, 4},
    {"background_add_background", F_Unsupported, 1},
    {"background_replace_background", F_Unsupported, 2},
    {"background_delete", F_Delete, 1},
    {"background_duplicate", F_Duplicate, 1},
    {"background_assign", F_Assign, 2},
    {"background_set_alpha_from_background", F_SetAlphaFrom, 2},
    {"background_save", F_Save, 2},
    {"background_prefetch", F_Prefetch, 1},
    {"background_flush", F_Prefetch, 1},
    {"background_prefetch_multi", F_PrefetchMulti, 1},
    {"background_flush_multi", F_PrefetchMulti, 1},
};

}  // namespace

void InitResourceBackgroundFunctions()
{
    for (const Row& f : kFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
}
