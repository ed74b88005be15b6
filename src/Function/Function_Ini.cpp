#include "Function/Function_Ini.h"

#include <cstdio>
#include <cstdlib>

#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "IO/IniFile.h"

namespace {
IniFile* s_ini = nullptr;  // the one ini game code has open

// Writes the open ini back (when it changed) and lets it go.
void CloseOpenIni()
{
    if (!s_ini) return;
    QS_FREE(s_ini->WriteBack());
    delete s_ini;
    s_ini = nullptr;
}

IniFile* ForReading()
{
    if (!s_ini) ReportRuntimeError("Trying to read from undefined INI file", false);
    return s_ini;
}

IniFile* ForChanging()
{
    if (!s_ini) ReportRuntimeError("Trying to change undefined INI file", false);
    return s_ini;
}

void SetNewText(ScriptValue* result, char* text)
{
    ScriptValue_SetString(result, text);
    QS_FREE(text);
}

void F_IniOpen(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "ini_open")) return;
    const char* name = Arg_String(args, 0);
    if (!name) return;
    CloseOpenIni();
    s_ini = new IniFile(name);
}

void F_IniOpenFromString(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "ini_open_from_string")) return;
    const char* text = Arg_String(args, 0);
    CloseOpenIni();
    s_ini = new IniFile();
    s_ini->LoadFromString(text ? text : "");
}

void F_IniClose(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    if (!s_ini) {
        ScriptValue_SetString(result, "");
        return;
    }
    SetNewText(result, s_ini->WriteBack());
    delete s_ini;
    s_ini = nullptr;
}

void F_IniReadString(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 3, "ini_read_string")) return;
    const char* section = Arg_String(args, 0);
    const char* key = Arg_String(args, 1);
    const IniEntry* entry = ForReading() ? s_ini->GetKey(section, key) : nullptr;
    if (entry) ScriptValue_SetString(result, entry->value);
    else SetNewText(result, ValueToNewString(&args[2]));
}

void F_IniReadReal(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 3, "ini_read_real")) return;
    const char* section = Arg_String(args, 0);
    const char* key = Arg_String(args, 1);
    const IniEntry* entry = ForReading() ? s_ini->GetKey(section, key) : nullptr;
    ScriptValue_SetReal(result, entry ? std::atof(entry->value) : Arg_Real(args, 2));
}

void F_IniWriteString(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 3, "ini_write_string")) return;
    const char* section = Arg_String(args, 0);
    const char* key = Arg_String(args, 1);
    if (!ForReading()) return;
    // A number is stored as its text.
    char* value = ValueToNewString(&args[2]);
    s_ini->WriteString(section, key, value);
    QS_FREE(value);
}

void F_IniWriteReal(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 3, "ini_write_real")) return;
    const char* section = Arg_String(args, 0);
    const char* key = Arg_String(args, 1);
    const double number = Arg_Real(args, 2);
    if (!ForReading()) return;
    char text[400];  // "%f" of the largest double
    std::snprintf(text, sizeof text, "%f", number);
    s_ini->WriteString(section, key, text);
}

void F_IniKeyExists(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 2, "ini_key_exists")) return;
    const char* section = Arg_String(args, 0);
    const char* key = Arg_String(args, 1);
    ScriptValue_SetReal(result, ForReading() && s_ini->GetKey(section, key) ? 1 : 0);
}

void F_IniSectionExists(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "ini_section_exists")) return;
    const char* section = Arg_String(args, 0);
    ScriptValue_SetReal(result, ForReading() && s_ini->FindSection(section) ? 1 : 0);
}

void F_IniKeyDelete(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 2, "ini_key_delete")) return;
    const char* section = Arg_String(args, 0);
    const char* key = Arg_String(args, 1);
    if (ForChanging()) s_ini->DeleteKey(section, key);
}

void F_IniSectionDelete(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "ini_section_delete")) return;
    const char* section = Arg_String(args, 0);
    if (ForChanging()) s_ini->DeleteSection(section);
}
}  // namespace

void InitIniFunctions()
{
    // An ini left open by an earlier run is let go unwritten, as at game end.
    delete s_ini;
    s_ini = nullptr;
    CodeFunction_Register("ini_open", F_IniOpen, 1, 0);
    CodeFunction_Register("ini_open_from_string", F_IniOpenFromString, 1, 0);
    CodeFunction_Register("ini_close", F_IniClose, 0, 0);
    CodeFunction_Register("ini_read_string", F_IniReadString, 3, 0);
    CodeFunction_Register("ini_read_real", F_IniReadReal, 3, 0);
    CodeFunction_Register("ini_write_string", F_IniWriteString, 3, 0);
    CodeFunction_Register("ini_write_real", F_IniWriteReal, 3, 0);
    CodeFunction_Register("ini_key_exists", F_IniKeyExists, 2, 0);
    CodeFunction_Register("ini_section_exists", F_IniSectionExists, 1, 0);
    CodeFunction_Register("ini_key_delete", F_IniKeyDelete, 2, 0);
    CodeFunction_Register("ini_section_delete", F_IniSectionDelete, 1, 0);
}
