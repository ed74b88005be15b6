#pragma once
// The records of extension packages as the game data lists them: a package
// holds files, a file holds the functions game code calls by name.
#include <cstdint>
#include <string>
#include <vector>

// File kinds.
constexpr int32_t EXTENSION_FILE_DLL = 1;          // functions bound to a native library
constexpr int32_t EXTENSION_FILE_PLACEHOLDER = 4;  // functions that answer without a library

// Argument and result types.
constexpr int32_t EXTENSION_TYPE_STRING = 1;
constexpr int32_t EXTENSION_TYPE_REAL = 2;
constexpr int32_t kExtensionArgumentTypes = 16;    // types kept per function
constexpr int32_t EXTENSION_CALL_CDECL = 12;       // call kind of the C convention

struct CExtensionFunction {
    std::string name;          // what game code calls it by
    std::string externalName;  // the library's symbol
    int32_t callKind = 0;
    int32_t id = -1;
    int32_t argumentCount = 0;
    int32_t argumentTypes[kExtensionArgumentTypes] = {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
    int32_t returnType = EXTENSION_TYPE_REAL;

    // The type of argument index: real past the kept ones.
    int32_t ArgumentType(int32_t index) const;
    // Ignored past the kept ones.
    void SetArgumentType(int32_t index, int32_t type);
};

struct CExtensionFile {
    std::string fileName;       // for a library file: the library's file name
    int32_t kind = 0;
    std::string initName;       // run when the game starts, when not empty
    std::string finalName;      // run when the game ends, when not empty
    std::vector<CExtensionFunction> functions;
};

class CExtensionPackage {
public:
    CExtensionPackage();

    std::string secondText;   // kept with the package, read by nothing
    std::string folderName;
    std::string thirdText;    // kept with the package, read by nothing
    std::vector<CExtensionFile> files;

    // The first function of that name over the files in order, null when none.
    const CExtensionFunction* find(const char* name) const;
};
