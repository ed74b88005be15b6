#include "Host/Host_Library.h"

#include <dlfcn.h>
#include <ffi.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>

// A library is the loader's own handle.
namespace {
void* Handle(HostLibrary* library)
{
    return reinterpret_cast<void*>(library);
}
}  // namespace

struct HostCallShape {
    ffi_cif cif;
    int argc;
    bool isText[kHostCallMaxArguments];
    bool textResult;
    ffi_type* types[kHostCallMaxArguments];
};

HostLibrary* HostLibrary_Open(const char* path, int* errorCode, char* error, int errorSize)
{
    char* folder = getcwd(nullptr, 0);
    errno = 0;
    void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    const int code = errno;
    const char* reason = handle ? nullptr : dlerror();
    if (folder) {
        // A library that moved the process elsewhere while starting must not
        // change where the game's relative paths lead.
        const int restored = chdir(folder);
        (void)restored;  // the folder was ours a moment ago; nothing better to go back to
        std::free(folder);
    }
    if (!handle) {
        *errorCode = code;
        std::snprintf(error, static_cast<size_t>(errorSize), "%s", reason ? reason : "unknown error");
        return nullptr;
    }
    return reinterpret_cast<HostLibrary*>(handle);
}

void* HostLibrary_Symbol(HostLibrary* library, const char* name)
{
    if (!library || !name) return nullptr;
    return dlsym(Handle(library), name);
}

void HostLibrary_Close(HostLibrary* library)
{
    if (!library) return;
    dlclose(Handle(library));
}

HostCallShape* HostCall_Prepare(int argc, const bool* isText, bool textResult)
{
    if (argc < 0 || argc > kHostCallMaxArguments) return nullptr;
    auto* shape = new (std::nothrow) HostCallShape();
    if (!shape) return nullptr;
    shape->argc = argc;
    shape->textResult = textResult;
    for (int k = 0; k < argc; ++k) {
        shape->isText[k] = isText[k];
        shape->types[k] = isText[k] ? &ffi_type_pointer : &ffi_type_double;
    }
    if (ffi_prep_cif(&shape->cif, FFI_DEFAULT_ABI, static_cast<unsigned>(argc),
                     textResult ? &ffi_type_pointer : &ffi_type_double, shape->types) != FFI_OK) {
        delete shape;
        return nullptr;
    }
    return shape;
}

void HostCall_Free(HostCallShape* shape)
{
    delete shape;
}

HostCallResult HostCall_Invoke(const HostCallShape* shape, void* entry, const double* reals,
                               const char* const* texts)
{
    void* values[kHostCallMaxArguments];
    for (int k = 0; k < shape->argc; ++k)
        values[k] = shape->isText[k] ? static_cast<void*>(const_cast<const char**>(&texts[k]))
                                     : static_cast<void*>(const_cast<double*>(&reals[k]));
    HostCallResult result{0.0, nullptr};
    // The cif is only read by ffi_call.
    auto* cif = const_cast<ffi_cif*>(&shape->cif);
    if (shape->textResult) {
        void* text = nullptr;
        ffi_call(cif, FFI_FN(entry), &text, values);
        result.text = static_cast<const char*>(text);
    } else {
        ffi_call(cif, FFI_FN(entry), &result.real, values);
    }
    return result;
}
