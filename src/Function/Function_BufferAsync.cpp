#include "Function/Function_BufferAsync.h"

#include <cstring>
#include <string>
#include <vector>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "DataStructure/DS_Native.h"
#include "Host/Host_Paths.h"
#include "IO/FileWhitelist.h"
#include "IO/LoadSave.h"
#include "Network/Async_Requests.h"

namespace {
constexpr int32_t kSaveLoadEvent = 72;
constexpr int kPathSize = 2048;

// A request in the save area's folder of its group.
struct ASYNC_SAVE_LOAD_REQ_CONTEXT : HTTP_REQ_CONTEXT {
    ASYNC_SAVE_LOAD_REQ_CONTEXT(std::vector<AsyncFileNode> files, const char* groupName, bool saving)
        : HTTP_REQ_CONTEXT(nullptr, 0, Buffer_AsyncGetResult, nullptr, nullptr, false),
          nodes(std::move(files)),
          group(groupName),
          save(saving)
    {
        perFrame = Buffer_AsyncSaveLoadStep;
    }

    std::vector<AsyncFileNode> nodes;
    std::string group;
    bool save;
    int32_t success = 1;
};

// The open group (none while groupOpen is false) and the calls it gathers;
// both lists are in call order, and at most one of them holds nodes.
struct GroupState {
    bool groupOpen = false;
    std::string name;
    std::vector<AsyncFileNode> saves;
    std::vector<AsyncFileNode> loads;
};
GroupState s_group;

enum class Found { Nowhere, SaveArea, Bundle };

// Where a load finds a file: under the group's folder, else by its own name;
// the save area before the bundle each time. path gets the name that found it.
Found Locate(const std::string& group, const std::string& file, std::string* path)
{
    for (const std::string& name : {group + "/" + file, file}) {
        *path = name;
        if (LoadSave_SaveFileExists(name.c_str())) return Found::SaveArea;
        if (LoadSave_BundleFileExists(name.c_str())) return Found::Bundle;
    }
    return Found::Nowhere;
}

bool SaveNode(const std::string& base, const AsyncFileNode& node)
{
    return LoadSave_WriteSaveFile((base + "/" + node.name).c_str(), node.data.data(), node.data.size());
}

bool LoadNode(const std::string& group, const AsyncFileNode& node)
{
    std::string path;
    const Found found = Locate(group, node.name, &path);
    uint32_t length = 0;
    uint8_t* bytes = found == Found::SaveArea ? LoadSave_ReadSaveFile(path.c_str(), &length)
                     : found == Found::Bundle ? LoadSave_ReadBundleFile(path.c_str(), &length)
                                              : nullptr;
    if (!bytes) return false;
    // Game code may have deleted the buffer since the call.
    IBuffer* buffer = Buffer_Get(node.buffer);
    if (buffer && length > 0)
        IBuffer_CopyMemoryIn(buffer, bytes, int32_t(length), 0, node.size, node.offset, true, false, false);
    QS_FREE(bytes);
    return buffer != nullptr;
}

// Starts what is gathered: at once outside a group, at the group's end inside one.
int32_t Start(bool save, const char* group)
{
    std::vector<AsyncFileNode> nodes = std::move(save ? s_group.saves : s_group.loads);
    s_group.saves.clear();
    s_group.loads.clear();
    return Buffer_StartAsyncSaveLoad(save, std::move(nodes), group);
}

void F_SaveAsync(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (!Arg_Need(argc, 4, "buffer_save_async")) return;
    if (!s_group.loads.empty()) {
        FatalRuntimeError("mixing async save and loads in the same group");
        return;
    }
    const IBuffer* buffer = Buffer_Get(Arg_Int32(args, 0));
    const char* name = Arg_String(args, 1);
    if (!buffer) {
        ReportRuntimeError("Illegal Buffer Index", false);
        return;
    }
    // The bytes are taken now, and only from inside the buffer.
    uint8_t* data = nullptr;
    int32_t length = 0;
    AsyncFileNode node{name ? name : "", {}, -1, 0, Arg_Int32(args, 2)};
    if (buffer->ExtractRange(&data, &length, node.offset, Arg_Int32(args, 3), false)) {
        node.data.assign(data, data + length);
        QS_FREE(data);
    }
    node.size = length;
    s_group.saves.push_back(std::move(node));
    if (!s_group.groupOpen) ScriptValue_SetReal(result, Start(true, "default"));
}

void F_LoadAsync(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (!Arg_Need(argc, 4, "buffer_load_async")) return;
    if (!s_group.saves.empty()) {
        FatalRuntimeError("mixing async save and loads in the same group");
        return;
    }
    const int32_t id = Arg_Int32(args, 0);
    const char* name = Arg_String(args, 1);
    if (!Buffer_Get(id)) {
        ReportRuntimeError("Illegal Buffer Index", false);
        return;
    }
    s_group.loads.push_back(AsyncFileNode{name ? name : "", {}, id, Arg_Int32(args, 3), Arg_Int32(args, 2)});
    if (!s_group.groupOpen) ScriptValue_SetReal(result, Start(false, "default"));
}

void F_GroupBegin(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "buffer_async_group_begin")) return;
    if (s_group.groupOpen) {
        FatalRuntimeError("only one buffer group at a time");
        return;
    }
    const char* name = Arg_String(args, 0);
    if (!name || std::strpbrk(name, " \t\r\n\\/")) {
        FatalRuntimeError("Group name should not contain whitespace or slash characters.");
        return;
    }
    s_group.groupOpen = true;
    s_group.name = name;
}

void F_GroupEnd(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    ScriptValue_SetReal(result, -1);
    if (!s_group.groupOpen) {
        FatalRuntimeError("no matching buffer_group_begin");
        return;
    }
    const std::string name = s_group.name;
    s_group.groupOpen = false;
    s_group.name.clear();
    if (s_group.loads.empty() && s_group.saves.empty()) {
        FatalRuntimeError("no content in group to save");
        return;
    }
    ScriptValue_SetReal(result, Start(!s_group.saves.empty(), name.c_str()));
}

// The options a console's save dialog would take have no effect here; only
// "temprloc" does: it admits writes below the folder it names.
void F_GroupOption(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, 0);
    if (!Arg_Need(argc, 2, "buffer_async_group_option")) return;
    const char* option = Arg_String(args, 0);
    if (!option) option = "";
    if (!std::strcmp(option, "subtitle") || !std::strcmp(option, "slottitle") || !std::strcmp(option, "showdialog")) {
        ScriptValue_SetReal(result, 1);
    } else if (!std::strcmp(option, "temprloc")) {
        char* text = ValueToNewString(&args[1]);
        std::string folder;
        if (text[0] && Host_MakeAbsolutePath(text, folder)) FileWhitelist_Add(&FileWhitelist_Write, folder.c_str(), 1);
        QS_FREE(text);
    } else if (std::strcmp(option, "savepadindex") != 0 && std::strcmp(option, "saveslotsize") != 0) {
        LogConsole->Output("unknown option %s passed to F_BUFFER_Async_Group_Option\n", option);
    }
}
}  // namespace

int32_t Buffer_StartAsyncSaveLoad(bool save, std::vector<AsyncFileNode> nodes, const char* groupName)
{
    const std::string group = groupName ? groupName : "default";
    if (!save) {
        int bundleFiles = 0;
        for (const AsyncFileNode& node : nodes) {
            LogConsole->Output("LOAD: checking file %s\n", node.name.c_str());
            std::string path;
            if (Locate(group, node.name, &path) == Found::Bundle) ++bundleFiles;
        }
        LogConsole->Output("LOAD: numFiles %d, numBundleFiles %d\n", int(nodes.size()), bundleFiles);
        if (bundleFiles > 0 && bundleFiles < int(nodes.size())) {
            FatalRuntimeError("Do not mix buffer loads from bundle and savedata in one group.");
            return -1;
        }
    }
    auto* request = new ASYNC_SAVE_LOAD_REQ_CONTEXT(std::move(nodes), group.c_str(), save);
    return request->id;
}

void Buffer_AsyncSaveLoadStep(HTTP_REQ_CONTEXT* record)
{
    auto* request = static_cast<ASYNC_SAVE_LOAD_REQ_CONTEXT*>(record);
    if (request->status == ASYNC_FINISHED) return;
    char base[kPathSize];
    LoadSave_MakeSavePath(base, sizeof base, request->group.c_str());
    for (const AsyncFileNode& node : request->nodes) {
        const bool done = request->save ? base[0] && SaveNode(base, node) : LoadNode(request->group, node);
        if (!done) request->success = 0;
    }
    request->status = ASYNC_FINISHED;
}

int32_t Buffer_AsyncGetResult(HTTP_REQ_CONTEXT* record, void*, int32_t* outMap)
{
    auto* request = static_cast<ASYNC_SAVE_LOAD_REQ_CONTEXT*>(record);
    const char* number = nullptr;  // a triple without text holds its real
    *outMap = DsMap_CreateFromTriples(3, "id", double(request->id), number, "status", double(request->success), number,
                                      "error", 0.0, number);
    return kSaveLoadEvent;
}

void InitBufferAsyncFunctions()
{
    s_group = GroupState{};
    CodeFunction_Register("buffer_save_async", F_SaveAsync, 4, 0);
    CodeFunction_Register("buffer_load_async", F_LoadAsync, 4, 0);
    CodeFunction_Register("buffer_async_group_begin", F_GroupBegin, 1, 0);
    CodeFunction_Register("buffer_async_group_end", F_GroupEnd, 0, 0);
    CodeFunction_Register("buffer_async_group_option", F_GroupOption, 2, 0);
}
