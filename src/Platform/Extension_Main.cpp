#include "Platform/Extension_Main.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "GameData/GameData.h"
#include "Platform/Extension_Class.h"
#include "Platform/Extension_DLL.h"
#include "Script/Script_Main.h"
#include "World/Instance.h"

namespace {
constexpr const char* kChunk = "EXTN";
// Call routes of a numbered function.
constexpr int32_t ROUTE_LIBRARY = 0;
constexpr int32_t ROUTE_PLACEHOLDER = 2;
// The highest id whose callable id (500000 + id) is still a 32-bit number.
constexpr int64_t kMaxFunctionId = INT32_MAX - CALLID_EXTENSION_BASE;

// The package table; a slot is empty for an offset of 0 and for a dropped package.
std::vector<std::unique_ptr<CExtensionPackage>> s_packages;

// A numbered function. Ids come from the game data: they are kept in id
// order and looked up, so no table is sized by the highest of them.
struct NumberedFunction {
    int32_t id;
    int32_t dllIndex;   // -1: none
    int32_t route;
    const CExtensionFunction* function;
};
std::vector<NumberedFunction> s_numbered;
int32_t s_highestId = 0;

// ---------------------------------------------------------------- reading

// Reads records that lie inside the chunk: a record has `fixed` words, the
// one at countAt being the length of the list of words that follows them.
// Records may be named more than once; all that are read together hold no
// more words than the chunk, as distinct records would, so a chunk that
// names one record over and over cannot make the work grow past its size.
struct RecordReader {
    const uint8_t* payload;
    uint32_t length;
    uint64_t wordsLeft;

    bool Record(uint32_t offset, uint32_t fixedWords, uint32_t countAt, const char* what, uint32_t index,
                const uint8_t** record, uint32_t* count)
    {
        if (!GameData_CheckRecord(kChunk, payload, length, offset, 4 * fixedWords, what, index)) return false;
        *record = GameData + offset;
        *count = GameData_U32(*record + 4 * countAt);
        const uint64_t words = uint64_t{fixedWords} + *count;
        if (words > length / 4)
            return GameData_Fail(kChunk, "%s %u at offset %u lists %u entries, more than the chunk holds", what, index,
                                 offset, *count);
        if (!GameData_CheckRecord(kChunk, payload, length, offset, static_cast<uint32_t>(4 * words), what, index))
            return false;
        if (words > wordsLeft)
            return GameData_Fail(kChunk, "%s %u at offset %u: the chunk names more records than it holds", what,
                                 index, offset);
        wordsLeft -= words;
        return true;
    }
};

bool Text(const uint8_t* word, std::string* out)
{
    const char* text = nullptr;
    if (!GameData_String(kChunk, GameData_U32(word), &text)) return false;
    *out = text ? text : "";
    return true;
}

bool ReadFunction(RecordReader& reader, uint32_t offset, uint32_t index, CExtensionFunction* function)
{
    const uint8_t* r = nullptr;
    uint32_t argc = 0;
    if (!reader.Record(offset, 6, 5, "function", index, &r, &argc)) return false;
    if (!Text(r, &function->name) || !Text(r + 16, &function->externalName)) return false;
    const int32_t id = static_cast<int32_t>(GameData_U32(r + 4));
    if (id < 0 || id > kMaxFunctionId)
        return GameData_Fail(kChunk, "function %u (%s) has id %d, outside 0 to %lld", index, function->name.c_str(),
                             id, static_cast<long long>(kMaxFunctionId));
    function->id = id;
    function->callKind = static_cast<int32_t>(GameData_U32(r + 8));
    function->returnType = static_cast<int32_t>(GameData_U32(r + 12));
    function->argumentCount = static_cast<int32_t>(argc);
    for (uint32_t k = 0; k < argc && k < kExtensionArgumentTypes; ++k)
        function->SetArgumentType(static_cast<int32_t>(k), static_cast<int32_t>(GameData_U32(r + 24 + 4 * k)));
    return true;
}

bool ReadFile(RecordReader& reader, uint32_t offset, uint32_t index, CExtensionFile* file)
{
    const uint8_t* r = nullptr;
    uint32_t count = 0;
    if (!reader.Record(offset, 5, 4, "file", index, &r, &count)) return false;
    if (!Text(r, &file->fileName) || !Text(r + 4, &file->finalName) || !Text(r + 8, &file->initName)) return false;
    file->kind = static_cast<int32_t>(GameData_U32(r + 12));
    file->functions.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t at = GameData_U32(r + 20 + 4 * i);
        if (at != 0 && !ReadFunction(reader, at, i, &file->functions[i])) return false;
    }
    return true;
}

bool ReadPackage(RecordReader& reader, uint32_t offset, uint32_t index, CExtensionPackage* package)
{
    const uint8_t* r = nullptr;
    uint32_t count = 0;
    if (!reader.Record(offset, 4, 3, "package", index, &r, &count)) return false;
    if (!Text(r, &package->folderName) || !Text(r + 4, &package->secondText) || !Text(r + 8, &package->thirdText))
        return false;
    package->files.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t at = GameData_U32(r + 16 + 4 * i);
        if (at != 0 && !ReadFile(reader, at, i, &package->files[i])) return false;
    }
    return true;
}

// ---------------------------------------------------------------- numbering

const NumberedFunction* Numbered(int32_t id)
{
    auto at = std::lower_bound(s_numbered.begin(), s_numbered.end(), id,
                               [](const NumberedFunction& f, int32_t key) { return f.id < key; });
    return at != s_numbered.end() && at->id == id ? &*at : nullptr;
}

// A later function of the same id takes its place.
void Number(const NumberedFunction& entry)
{
    auto at = std::lower_bound(s_numbered.begin(), s_numbered.end(), entry.id,
                               [](const NumberedFunction& f, int32_t key) { return f.id < key; });
    if (at != s_numbered.end() && at->id == entry.id) *at = entry;
    else s_numbered.insert(at, entry);
}

NumberedFunction Bind(const CExtensionFile& file, const CExtensionFunction& function)
{
    NumberedFunction entry{function.id, -1, ROUTE_LIBRARY, &function};
    if (file.kind == EXTENSION_FILE_DLL) {
        int32_t types[kExtensionArgumentTypes + 1] = {};
        for (int32_t k = 0; k < kExtensionArgumentTypes; ++k)
            types[k] = function.ArgumentType(k) == EXTENSION_TYPE_STRING ? 1 : 0;
        entry.dllIndex = DLL_Define(file.fileName.c_str(), function.externalName.c_str(),
                                    function.callKind == EXTENSION_CALL_CDECL ? 0 : 1, function.argumentCount, types,
                                    function.returnType == EXTENSION_TYPE_STRING);
    } else if (file.kind == EXTENSION_FILE_PLACEHOLDER) {
        entry.route = ROUTE_PLACEHOLDER;
    }
    return entry;
}

// ---------------------------------------------------------------- start and end

bool CallFileFunctions(bool atStart)
{
    for (const std::unique_ptr<CExtensionPackage>& package : s_packages) {
        if (!package) continue;
        for (const CExtensionFile& file : package->files) {
            const std::string& name = atStart ? file.initName : file.finalName;
            if (name.empty()) continue;
            auto* temporary = new CInstance(0, 0, 0, 0, false);
            ScriptValue result = ScriptValue_Undefined();
            const int32_t script = Script_FindByName(name.c_str());
            bool ok = true;
            if (script >= 0) {
                if (!Script_Call(script, temporary, temporary, 0, &result, nullptr)) {
                    ShowRuntimeError(ErrorLast_Get() ? ErrorLast_Get() : "", true);
                    ok = false;
                }
            } else if (const CExtensionFunction* function = package->find(name.c_str())) {
                Extension_CallFunction(function->id, 0, nullptr, &result);
            } else {
                char text[1024];
                std::snprintf(text, sizeof text, "Could not locate %s function %s",
                              atStart ? "initialization" : "finalization", name.c_str());
                ShowRuntimeError(text, true);
                ok = false;
            }
            ScriptValue_SetUndefined(&result);
            delete temporary;
            if (!ok) return false;
        }
    }
    return true;
}

bool Dropped(const CExtensionPackage& package)
{
    return package.folderName == "KivoWorks";
}
}  // namespace

bool Extension_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    Extension_Free();
    uint32_t count = 0;
    if (!GameData_CheckList(kChunk, payload, length, &count)) return false;
    RecordReader reader{payload, length, length / 4};
    std::vector<std::unique_ptr<CExtensionPackage>> packages(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(payload + 4 + 4 * i);
        if (offset == 0) continue;
        packages[i] = std::make_unique<CExtensionPackage>();
        if (!ReadPackage(reader, offset, i, packages[i].get())) return false;
    }
    s_packages = std::move(packages);
    return true;
}

bool Extension_Prepare()
{
    s_numbered.clear();
    s_highestId = 0;
    for (std::unique_ptr<CExtensionPackage>& package : s_packages)
        if (package && Dropped(*package)) package.reset();
    for (const std::unique_ptr<CExtensionPackage>& package : s_packages) {
        if (!package) continue;
        for (const CExtensionFile& file : package->files) {
            for (const CExtensionFunction& function : file.functions) {
                // A slot the game data left empty has no id.
                if (function.id < 0) continue;
                s_highestId = std::max(s_highestId, function.id);
                Number(Bind(file, function));
            }
        }
    }
    return true;
}

int Extension_FindFunction(const char* name)
{
    for (const std::unique_ptr<CExtensionPackage>& package : s_packages) {
        // Names resolve while the game data is read, before the dropped
        // package is gone.
        if (!package || Dropped(*package)) continue;
        if (const CExtensionFunction* function = package->find(name)) return function->id;
    }
    return -1;
}

bool Extension_CallFunction(int id, int argc, ScriptValue* args, ScriptValue* result)
{
    if (id < 0 || id > s_highestId) return false;
    const NumberedFunction* entry = Numbered(id);
    if (!entry) return true;
    if (entry->route == ROUTE_LIBRARY) DLL_Call(entry->dllIndex, argc, args, result);
    // A placeholder hands the call on to the function 500000 below it, when there is one.
    else if (id >= CALLID_EXTENSION_BASE) Extension_CallFunction(id - CALLID_EXTENSION_BASE, argc, args, result);
    return true;
}

bool Extension_CallInitFunctions()
{
    return CallFileFunctions(true);
}

bool Extension_CallFinalFunctions()
{
    return CallFileFunctions(false);
}

void Extension_Free()
{
    s_packages.clear();
    s_numbered.clear();
    s_highestId = 0;
}
