// buffer_get_surface and buffer_set_surface: the buffer and the surface are
// checked here, the copy is the buffer's.
#include "Function/Function_BufferSurface.h"

#include "Base/ErrorReport.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Graphics/Graphics_Surface.h"

namespace {

// The buffer of argument 0 when it and the surface of argument 1 exist; the
// messages name the built-in.
IBuffer* Checked(int argc, ScriptValue* a, const char* illegalBuffer, const char* noSurface)
{
    if (!Arg_Need(argc, 5, "buffer_surface")) return nullptr;
    IBuffer* buffer = Buffer_Get(Arg_Int32(a, 0));
    if (!buffer) {
        ReportRuntimeError(illegalBuffer, false);
        return nullptr;
    }
    if (!GR_Surface_Exists(Arg_Int32(a, 1))) {
        ReportRuntimeError(noSurface, false);
        return nullptr;
    }
    return buffer;
}

void F_GetSurface(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    IBuffer* buffer = Checked(argc, a, "Error in buffer_get_surface(): Illegal Buffer Index",
                              "Error in buffer_get_surface(): surface does not exist");
    if (buffer) buffer->GetSurface(Arg_Int32(a, 1), Arg_Int32(a, 2), Arg_Int32(a, 3), Arg_Int32(a, 4));
}

void F_SetSurface(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    IBuffer* buffer = Checked(argc, a, "Error in buffer_set_surface(): Illegal Buffer Index",
                              "Error in buffer_set_surface(): surface does not exist");
    if (buffer) buffer->SetSurface(Arg_Int32(a, 1), Arg_Int32(a, 3), Arg_Int32(a, 4));
}

}  // namespace

void InitBufferSurfaceFunctions()
{
    CodeFunction_Register("buffer_get_surface", F_GetSurface, 5, 1);
    CodeFunction_Register("buffer_set_surface", F_SetSurface, 5, 1);
}
