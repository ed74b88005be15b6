#pragma once
// Shared libraries of native code: loaded by path, their functions looked up
// by name and called with a fixed shape of arguments (doubles and text
// pointers) and result (a double or a text pointer), in the platform's C
// calling convention.

struct HostLibrary;
struct HostCallShape;

// Loads the library at path (a name without a slash is searched for as the
// system's loader does). The current folder is the same afterwards whatever
// the library's start-up code did to it. Null when it cannot be loaded; then
// *errorCode holds the system's error number and error the loader's reason.
HostLibrary* HostLibrary_Open(const char* path, int* errorCode, char* error, int errorSize);
// The entry point of the exported symbol, null when there is none.
void* HostLibrary_Symbol(HostLibrary* library, const char* name);
void HostLibrary_Close(HostLibrary* library);

// Most arguments a call shape takes.
constexpr int kHostCallMaxArguments = 16;

// A call shape: argc arguments (0..16), argument k a text pointer when
// isText[k], else a double; the result a text pointer when textResult, else a
// double. Null when argc is out of range.
HostCallShape* HostCall_Prepare(int argc, const bool* isText, bool textResult);
void HostCall_Free(HostCallShape* shape);

// The result of one call: the double, or the text pointer the function
// returned (owned by the library).
struct HostCallResult {
    double real;
    const char* text;
};
// Calls entry with the shape's arguments: reals[k] for a double argument,
// texts[k] for a text one.
HostCallResult HostCall_Invoke(const HostCallShape* shape, void* entry, const double* reals,
                               const char* const* texts);
