#include "Host/Host_MachineId.h"

#include <cstdio>

namespace {
constexpr const char* kSystemFile = "/etc/machine-id";
// The file holds 32 hex digits and a line end; anything longer is cut here.
constexpr size_t kMaxLength = 1024;

std::string g_file = kSystemFile;
}  // namespace

std::string Host_MachineId()
{
    std::string id;
    if (std::FILE* file = std::fopen(g_file.c_str(), "rb")) {
        char text[kMaxLength];
        const size_t n = std::fread(text, 1, sizeof text, file);
        std::fclose(file);
        id.assign(text, n);
        const size_t end = id.find_first_of("\r\n");
        if (end != std::string::npos) id.resize(end);
    }
    return id.empty() ? "NOT SUPPORTED" : id;
}

void Host_SetMachineIdFile(const char* path)
{
    g_file = path ? path : kSystemFile;
}
