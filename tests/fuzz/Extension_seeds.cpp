// Writes the seed corpus of the extension chunk fuzz target: game data images
// with packages of library and placeholder files, empty slots and the
// package that is dropped.
#include <string>
#include <vector>

#include "TextSeeds.h"
#include "gamedata/FormWriter.h"

namespace {
gamedata::ExtensionFunctionEntry Function(const char* name, int32_t id, std::vector<int32_t> types)
{
    gamedata::ExtensionFunctionEntry f;
    f.name = name;
    f.id = id;
    f.externalName = name;
    f.argumentTypes = std::move(types);
    return f;
}
}  // namespace

int main(int argc, char** argv)
{
    gamedata::ExtensionFileEntry library;
    library.fileName = "library.so";
    library.initName = "ext_init";
    library.finalName = "ext_final";
    library.functions = {Function("ext_add", 1, {2, 2}), std::nullopt, Function("ext_join", 3, {1, 2, 1})};
    gamedata::ExtensionFileEntry placeholders;
    placeholders.kind = 4;
    placeholders.functions = {Function("stub", 2, {})};
    gamedata::ExtensionPackageEntry package;
    package.folderName = "pkg";
    package.files = {library, std::nullopt, placeholders};
    gamedata::ExtensionPackageEntry dropped;
    dropped.folderName = "KivoWorks";
    dropped.files = {library};

    std::vector<std::string> seeds;
    for (const auto& packages : std::vector<std::vector<std::optional<gamedata::ExtensionPackageEntry>>>{
             {package}, {package, std::nullopt, dropped}, {}}) {
        gamedata::FormWriter w;
        w.Extn(packages);
        const std::vector<uint8_t> bytes = w.Finish();
        seeds.emplace_back(bytes.begin(), bytes.end());
    }
    return WriteByteSeeds(argc, argv, seeds);
}
