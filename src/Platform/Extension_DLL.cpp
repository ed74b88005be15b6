#include "Platform/Extension_DLL.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "Network/Async_Requests.h"
#include "Base/Console.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Value.h"
#include "DataStructure/DS_Native.h"
#include "Host/Host_Library.h"
#include "IO/LoadSave.h"
#include "Options/Runner_Options.h"

namespace {
struct DLLFunction {
    std::string path;      // as resolved
    HostLibrary* module;   // null once the library was let go of
    void* entry;
    int32_t argumentCount;
    bool stringResult;
    HostCallShape* shape;  // the argument and result types
};

// Definitions live until the process ends; the libraries they load stay
// loaded until DLL_Free (and past the end of the process's table).
struct DLLTable {
    std::vector<DLLFunction> functions;
    ~DLLTable()
    {
        for (DLLFunction& f : functions) HostCall_Free(f.shape);
    }
};
std::vector<DLLFunction>& Table()
{
    static DLLTable table;
    return table.functions;
}

// The save area's copy of a library, else the bundle's, else the name as
// given. A full path names its library itself.
std::string ResolvePath(const char* path)
{
    if (path[0] == '/') return path;
    char resolved[1024];
    if (LoadSave_SaveFileExists(path)) {
        LoadSave_MakeSavePath(resolved, sizeof resolved, path);
        return resolved;
    }
    if (LoadSave_BundleFileExists(path)) {
        LoadSave_MakeBundlePath(resolved, sizeof resolved, path);
        return resolved;
    }
    return path;
}

// The library already loaded for path, null when none is.
HostLibrary* LoadedLibrary(const std::string& path)
{
    HostLibrary* module = nullptr;
    for (const DLLFunction& f : Table())
        if (f.path == path) module = f.module;
    return module;
}

// What a library may call back, in the order it receives them.
void PostAsyncEventCallback(int32_t map, int32_t subKind)
{
    PostAsyncEvent(map, subKind);
}
using RegisterCallbacksEntry = void (*)(void*, void*, void*, void*);

void OfferCallbacks(void* entry)
{
    auto* registerCallbacks = reinterpret_cast<RegisterCallbacksEntry>(entry);
    registerCallbacks(reinterpret_cast<void*>(PostAsyncEventCallback), reinterpret_cast<void*>(DsMap_CreateFromTriples),
                      reinterpret_cast<void*>(DsMap_LockedAddReal), reinterpret_cast<void*>(DsMap_LockedAddString));
}

// A game value as a library's real: numbers and texts convert, other kinds give 0.
double AsReal(ScriptValue* args, int k)
{
    switch (args[k].Kind()) {
    case VALUE_REAL:
    case VALUE_STRING:
    case VALUE_OBJECT:
    case VALUE_INT32:
    case VALUE_INT64:
    case VALUE_BOOL:
        return Arg_Real(args, k);
    default:
        return 0.0;
    }
}
}  // namespace

int32_t DLL_Define(const char* path, const char* symbol, int32_t, int32_t argc, const int32_t* types,
                   bool stringResult)
{
    if (!path || !symbol) return -1;
    if (argc > kDllMaxArguments || argc < 0) {
        LogConsole->Output("ERROR :: DLL_Define :: function %s has too many parameters (limit 16) - has %d\n", symbol,
                           argc);
        return -1;
    }
    if (argc > kDllMaxMixedArguments) {
        for (int32_t k = 0; k < argc; ++k) {
            if (types[k] != 1) continue;
            LogConsole->Output(
                "ERROR :: DLL_Define :: function %s has more than 4 parameters and they are not all numbers\n", symbol);
            return -1;
        }
    }
    const std::string resolved = ResolvePath(path);
    HostLibrary* module = LoadedLibrary(resolved);
    const bool loadedHere = module == nullptr;
    if (!module) {
        int code = 0;
        char reason[512];
        module = HostLibrary_Open(resolved.c_str(), &code, reason, sizeof reason);
        if (!module) {
            OutputConsole->Output("LoadLibraryA failed with error code %d\n", code);
            OutputConsole->Output("%s\n", reason);
            return -1;
        }
    }
    // Stdcall name decoration has no meaning for 64-bit code: the plain name only.
    void* entry = HostLibrary_Symbol(module, symbol);
    bool isText[kDllMaxArguments];
    for (int32_t k = 0; k < argc; ++k) isText[k] = types[k] == 1;
    HostCallShape* shape = entry ? HostCall_Prepare(argc, isText, stringResult) : nullptr;
    if (!shape) {
        if (loadedHere) HostLibrary_Close(module);
        return -1;
    }
    Table().push_back(DLLFunction{resolved, module, entry, argc, stringResult, shape});
    if (std::strstr(symbol, "RegisterCallbacks")) OfferCallbacks(entry);
    return static_cast<int32_t>(Table().size() - 1);
}

void DLL_Call(int32_t index, int argc, ScriptValue* args, ScriptValue* result)
{
    ScriptValue_SetReal(result, 0.0);
    std::vector<DLLFunction>& table = Table();
    if (index < 0 || static_cast<size_t>(index) >= table.size()) return;
    const DLLFunction& f = table[static_cast<size_t>(index)];
    if (argc != f.argumentCount || !f.module) return;
    double reals[kDllMaxArguments];
    const char* texts[kDllMaxArguments];
    for (int k = 0; k < argc; ++k) {
        reals[k] = AsReal(args, k);
        // Only a string's own text is handed over; any other value, a pointer
        // value included, passes no address.
        texts[k] = args[k].Kind() == VALUE_STRING ? ScriptValue_StringText(&args[k]) : nullptr;
    }
    if (ExtensionCallsDisabled) return;
    const HostCallResult out = HostCall_Invoke(f.shape, f.entry, reals, texts);
    if (!f.stringResult) {
        ScriptValue_SetReal(result, out.real);
    } else if (out.text) {
        ScriptValue_SetString(result, out.text);
    } else {
        ScriptValue_SetStringRecordCopy(result, nullptr);
    }
}

void DLL_Free(const char* path)
{
    if (!path) return;
    HostLibrary* freed = nullptr;
    for (DLLFunction& f : Table()) {
        if (f.path != path || !f.module) continue;
        if (!freed) freed = f.module;
        f.module = nullptr;
    }
    HostLibrary_Close(freed);
}
