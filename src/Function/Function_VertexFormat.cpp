// vertex_format_*: open a format, add its elements, close it into the table.
#include "Function/Function_Vertex.h"

#include <cstdio>

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Graphics/VertexFormat.h"

namespace {

using Args = ScriptValue*;

void Report(const char* message) { ReportRuntimeError(message, false); }

// Adds an element and reports, in the name of the routine, an add with no
// open format or one past the 32nd element.
void Add(const char* routine, int type, int usage)
{
    const int result = VertexFormat_Add(type, usage);
    if (result == 0) return;
    char text[128];
    std::snprintf(text, sizeof text, result == 1 ? "%s(): haven't started a new format." : "%s(): Too many elements",
                  routine);
    Report(text);
}

void F_Begin(ScriptValue* r, CInstance*, CInstance*, int argc, Args)
{
    ScriptValue_SetReal(r, -1);
    if (argc != 0) {
        Report("vertex_format_begin(): Illegal argument count");
        return;
    }
    if (!VertexFormat_Begin()) Report("vertex_format_begin(): Can't start a new format, still creating another one.");
}

void F_End(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    const int id = VertexFormat_End();
    if (id < 0) {
        Report("vertex_format_end(): Can't end format, you haven't started one yet.");
        return;
    }
    ScriptValue_SetReal(r, id);
}

void F_Delete(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    // Nothing to read: the batch is flushed all the same.
    VertexFormat_Delete(argc >= 1 ? static_cast<int>(Arg_UInt32(a, 0)) : -1);
}

void F_AddPosition(ScriptValue*, CInstance*, CInstance*, int, Args)
{
    Add("vertex_format_add_position", VERTEX_TYPE_FLOAT2, VERTEX_USE_POSITION);
}
void F_AddPosition3D(ScriptValue*, CInstance*, CInstance*, int, Args)
{
    Add("vertex_format_add_position_3d", VERTEX_TYPE_FLOAT3, VERTEX_USE_POSITION);
}
void F_AddColour(ScriptValue*, CInstance*, CInstance*, int, Args)
{
    Add("vertex_format_add_colour", VERTEX_TYPE_COLOUR, VERTEX_USE_COLOUR);
}
void F_AddNormal(ScriptValue*, CInstance*, CInstance*, int, Args)
{
    Add("vertex_format_add_normal", VERTEX_TYPE_FLOAT3, VERTEX_USE_NORMAL);
}
void F_AddTexcoord(ScriptValue*, CInstance*, CInstance*, int, Args)
{
    Add("vertex_format_add_textcoord", VERTEX_TYPE_FLOAT2, VERTEX_USE_TEXCOORD);
}

void F_AddCustom(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 2, "vertex_format_add_custom")) return;
    const int type = Arg_Int32(a, 0), usage = Arg_Int32(a, 1);
    if (type < VERTEX_TYPE_FLOAT1 || type > VERTEX_TYPE_UBYTE4) {
        Report("vertex_format_add_custom(): illegal types");
        return;
    }
    if (usage < VERTEX_USE_POSITION || usage > VERTEX_USE_SAMPLE) {
        Report("vertex_format_add_custom(): illegal usage");
        return;
    }
    Add("vertex_format_add_custom", type, usage);
}

struct Registration {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Registration kFunctions[] = {
    {"vertex_format_begin", F_Begin, 0},
    {"vertex_format_end", F_End, 0},
    {"vertex_format_delete", F_Delete, 1},
    {"vertex_format_add_position", F_AddPosition, 0},
    {"vertex_format_add_position_3d", F_AddPosition3D, 0},
    {"vertex_format_add_colour", F_AddColour, 0},
    {"vertex_format_add_color", F_AddColour, 0},
    {"vertex_format_add_normal", F_AddNormal, 0},
    {"vertex_format_add_textcoord", F_AddTexcoord, 0},
    {"vertex_format_add_texcoord", F_AddTexcoord, 0},
    {"vertex_format_add_custom", F_AddCustom, 2},
};

}  // namespace

void InitVertexFormatFunctions()
{
    for (const Registration& f : kFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
}
