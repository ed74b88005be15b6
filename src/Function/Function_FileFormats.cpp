#include "Function/Function_FileFormats.h"

#include <cstdio>
#include <cstring>

#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "DataStructure/DS_Csv.h"
#include "DataStructure/DS_Json.h"
#include "IO/LoadSave.h"

int32_t CSV_Load(const char* name)
{
    uint32_t size = 0;
    uint8_t* bytes = nullptr;
    if (LoadSave_SaveFileExists(name))
        bytes = LoadSave_ReadSaveFile(name, &size);
    else if (LoadSave_BundleFileExists(name))
        bytes = LoadSave_ReadBundleFile(name, &size);
    if (!bytes) return -1;
    const int32_t handle = CSV_LoadText(reinterpret_cast<const char*>(bytes), size);
    QS_FREE(bytes);
    return handle;
}

void F_LoadCsv(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    if (args[0].Kind() != VALUE_STRING) {
        ReportRuntimeError("load_csv - parameter should be a filename", false);
        ScriptValue_SetReal(result, -1.0);
        return;
    }
    ScriptValue_SetReal(result, CSV_Load(ScriptValue_StringText(&args[0])));
}

void F_JsonEncode(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    char* text = nullptr;
    JSON_EncodeDsMap(Arg_Int32(args, 0), &text);
    if (text)
        ScriptValue_AdoptString(result, text, static_cast<int32_t>(std::strlen(text)));
    else
        ScriptValue_SetString(result, "");
}

void F_JsonDecode(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    const char* text = args[0].Kind() == VALUE_STRING ? ScriptValue_StringText(&args[0]) : nullptr;
    if (text && *text) {
        ScriptValue_SetReal(result, JSON_DecodeText(text));
        return;
    }
    char number[400];  // "%.2f" of the largest double
    std::snprintf(number, sizeof number, "{ \"default\" : \"%.2f\" }", ScriptValue_ToReal(&args[0]));
    ScriptValue_SetReal(result, JSON_DecodeText(number));
}
