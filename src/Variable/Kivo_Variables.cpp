#include "Variable/Kivo_Variables.h"

#include "Code/Code_Value.h"
#include "Code/Code_Variable.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Host/Host_System.h"

namespace {
bool Real(ScriptValue* out, double value)
{
    ScriptValue_SetReal(out, value);
    return true;
}

bool GetType(CInstance*, int32_t, ScriptValue* out) { return Real(out, GetOSType()); }
// Not a phone or tablet, and not a browser.
bool GetDevice(CInstance*, int32_t, ScriptValue* out) { return Real(out, -1); }
bool GetBrowser(CInstance*, int32_t, ScriptValue* out) { return Real(out, -1); }

// major × 65536 + minor of the system's version, -1 when it cannot be read.
bool GetVersion(CInstance*, int32_t, ScriptValue* out)
{
    int major = 0;
    int minor = 0;
    if (!Host_OSVersion(&major, &minor)) return Real(out, -1);
    return Real(out, static_cast<float>(major) * 65536.0f + static_cast<float>(minor));
}

// The back buffer's size, as the swap chain or the last display mode set it.
bool GetBrowserWidth(CInstance*, int32_t, ScriptValue* out) { return Real(out, GR_D3D_BackBufferWidth); }
bool GetBrowserHeight(CInstance*, int32_t, ScriptValue* out) { return Real(out, GR_D3D_BackBufferHeight); }
}  // namespace

int GetOSType()
{
    return 0;
}

void InitKivoVariables()
{
    Variable_BuiltIn_Add("os_type", GetType, nullptr);
    Variable_BuiltIn_Add("os_device", GetDevice, nullptr);
    Variable_BuiltIn_Add("os_version", GetVersion, nullptr);
    Variable_BuiltIn_Add("os_browser", GetBrowser, nullptr);
    Variable_BuiltIn_Add("browser_width", GetBrowserWidth, nullptr);
    Variable_BuiltIn_Add("browser_height", GetBrowserHeight, nullptr);
}
