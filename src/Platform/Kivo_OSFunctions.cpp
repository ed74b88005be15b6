#include "Platform/Kivo_OSFunctions.h"

#include <string>

#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Native.h"
#include "GameData/GameHeader.h"
#include "Host/Host_GPU.h"
#include "Host/Host_System.h"
#include "Platform/Platform_OS.h"

namespace {
using Args = ScriptValue*;

// The languages the platform names, by code.
const char* const kLanguages[] = {
    "af",  "sq",  "gsw", "am",  "ar",  "hy",  "as",  "az",  "ba",  "eu",  "be",  "bn",  "br",  "bg",  "ku",
    "chr", "ca",  "zh",  "co",  "hr",  "cs",  "da",  "prs", "dv",  "nl",  "en",  "et",  "fo",  "fil", "fi",
    "fr",  "fy",  "gl",  "ka",  "de",  "el",  "kl",  "gu",  "ha",  "haw", "he",  "hi",  "hu",  "is",  "ig",
    "id",  "iu",  "ga",  "xh",  "zu",  "it",  "ja",  "kn",  "kk",  "kh",  "qut", "rw",  "kok", "ko",  "ky",
    "lo",  "lv",  "lt",  "dsb", "lb",  "mk",  "ms",  "ml",  "mt",  "mi",  "arn", "mr",  "moh", "mn",  "ne",
    "no",  "oc",  "or",  "ps",  "pl",  "pt",  "ff",  "pa",  "quz", "ro",  "rm",  "ru",  "sah", "smn", "sa",
    "nso", "tn",  "si",  "sk",  "sl",  "es",  "sw",  "sv",  "syr", "tg",  "tzm", "ta",  "tt",  "te",  "th",
    "bo",  "ti",  "tr",  "tk",  "uk",  "ur",  "ug",  "uz",  "vi",  "cy",  "wo",  "ii",  "yo",
};

// Languages the table counts as one with another: it answers with that one's code.
const char* const kSharedLanguages[][2] = {
    {"nb", "no"},  {"nn", "no"},   {"sr", "hr"},  {"bs", "hr"},  {"hsb", "dsb"}, {"se", "smn"}, {"sma", "smn"},
    {"smj", "smn"}, {"sms", "smn"}, {"km", "kh"}, {"ckb", "ku"}, {"quc", "qut"}, {"tl", "fil"}, {"iw", "he"},
    {"in", "id"},
};

void SetText(ScriptValue* r, const std::string& text)
{
    ScriptValue_SetString(r, text.c_str());
}

// The user's language by the table's code, "--" for a language it lacks.
void F_Language(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    std::string language;
    std::string region;
    Host_UserLocale(&language, &region);
    for (const auto& shared : kSharedLanguages)
        if (language == shared[0]) language = shared[1];
    for (const char* code : kLanguages) {
        if (language == code) {
            SetText(r, language);
            return;
        }
    }
    SetText(r, "--");
}

// The user's country as its two-letter code, empty when the locale names none.
void F_Region(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    std::string language;
    std::string region;
    Host_UserLocale(&language, &region);
    SetText(r, region);
}

void F_Config(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    ScriptValue_SetString(r, GameGeneral.configName ? GameGeneral.configName : "");
}

// A new map describing the graphics adapter; the game destroys it. The GL
// driver names the renderer but gives no PCI ids or memory sizes (0), and
// there is no Direct3D device or context to hand out (null pointers).
void F_Info(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    const int32_t map = DsMap_CreateFromTriples(0);
    ScriptValue_SetReal(r, map);
    if (map < 0) return;
    const HGPU_DeviceInfo* device = HGPU_HasDevice() ? HGPU_GetDeviceInfo() : nullptr;
    DsMutexLock lock;
    DsMap_AddStringValue(map, "video_adapter_description", device ? device->renderer : "");
    for (const char* key : {"video_adapter_vendorid", "video_adapter_deviceid", "video_adapter_subsysid",
                            "video_adapter_revision", "video_adapter_dedicatedvideomemory",
                            "video_adapter_dedicatedsystemmemory", "video_adapter_sharedsystemmemory"})
        DsMap_AddRealValue(map, key, 0);
    DsMap* record = DsMap_FromIndex(map);
    for (const char* key : {"video_d3d11_device", "video_d3d11_context"}) {
        ScriptValue name = ScriptValue_Undefined();
        ScriptValue_InitString(&name, key);
        ScriptValue none = ScriptValue_Undefined();
        none.kind = VALUE_PTR;
        none.ptr = nullptr;
        record->Add(&name, &none);
        ScriptValue_SetUndefined(&name);
    }
}

void F_DpiX(ScriptValue* r, CInstance*, CInstance*, int, Args) { ScriptValue_SetReal(r, Platform_GetDpiX()); }
void F_DpiY(ScriptValue* r, CInstance*, CInstance*, int, Args) { ScriptValue_SetReal(r, Platform_GetDpiY()); }

void F_NetworkConnected(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    ScriptValue_SetReal(r, Host_NetworkConnected() ? 1 : 0);
}

// Not a phone or tablet.
void F_Device(ScriptValue* r, CInstance*, CInstance*, int, Args) { ScriptValue_SetReal(r, -1); }

// A desktop has no power-saving mode to switch: the flag is read, nothing changes.
void F_PowerSave(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 1, "os_powersave_enable")) Arg_Bool(a, 0);
}

// Above 0 locks the display to its current orientation; otherwise the
// orientations the game's options allow are allowed again.
void F_LockOrientation(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, 0);
    if (!Arg_Need(argc, 1, "os_lock_orientation")) return;
    if (Arg_Real(a, 0) <= 0) {
        Platform_LockOrientation(AllowedOrientations);
        return;
    }
    const int current = Platform_GetOrientation();
    Platform_LockOrientation({current == 0, current == 1, current == 2, current == 3});
}

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t argumentCount;
};

const Entry kFunctions[] = {
    {"Kivo_GetDevice", F_Device, 0},
    {"Kivo_GetConfig", F_Config, 0},
    {"os_get_config", F_Config, 0},
    {"os_get_info", F_Info, 0},
    {"os_get_language", F_Language, 0},
    {"os_get_region", F_Region, 0},
    {"display_get_dpi_x", F_DpiX, 0},
    {"display_get_dpi_y", F_DpiY, 0},
    {"os_is_network_connected", F_NetworkConnected, 0},
    {"os_powersave_enable", F_PowerSave, 1},
    {"os_lock_orientation", F_LockOrientation, 1},
};
}  // namespace

void InitKivoOSFunctions()
{
    for (const Entry& e : kFunctions) CodeFunction_Register(e.name, e.routine, e.argumentCount, 0);
}
