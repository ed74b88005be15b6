#include <cstring>
#include <string>
#include <string_view>

#include "Host/Host_Paths.h"
#include "Runner/Runner_Entry.h"

namespace {
constexpr size_t kMaxFlattenedName = 2048;

void VisitFile(const char* name, void* folder)
{
    UnflattenFile(static_cast<const char*>(folder), name);
}
}  // namespace

bool UnflattenFile(const char* folder, const char* name)
{
    const size_t length = std::strlen(name);
    if (length >= kMaxFlattenedName || !std::strchr(name, '@')) return false;

    // Every component must be a plain name, so that the file stays inside
    // folder: "@x" would be absolute, "..@x" would climb out.
    std::string relative;
    size_t start = 0;
    while (true) {
        const size_t at = std::string_view(name).find('@', start);
        const size_t end = at == std::string_view::npos ? length : at;
        const std::string_view part(name + start, end - start);
        if (part.empty() || part == "." || part == "..") return false;
        if (at == std::string_view::npos) break;
        start = at + 1;
    }

    const std::string base = std::string(folder) + "/";
    for (size_t i = 0; i < length; ++i) {
        if (name[i] == '@') {
            if (!Host_CreateFolder((base + relative).c_str())) return false;
            relative += '/';
        } else {
            relative += name[i];
        }
    }
    return Host_RenameFile((base + name).c_str(), (base + relative).c_str());
}

void UnpackFlattenedFiles(const char* folder)
{
    Host_EnumerateFiles(folder, VisitFile, const_cast<char*>(folder));
}
