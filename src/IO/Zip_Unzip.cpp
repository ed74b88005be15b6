#include "IO/Zip_Unzip.h"

#include <zip.h>

#include <cstring>
#include <string>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "IO/LoadSave.h"

namespace {
constexpr int kPathSize = 2048;
constexpr size_t kMaxEntryName = 1023;

// The entry's bytes in a new memory-manager block, null when it cannot be read.
uint8_t* ReadEntry(zip_t* archive, zip_uint64_t index, zip_uint64_t size)
{
    zip_file_t* file = zip_fopen_index(archive, index, 0);
    if (!file) return nullptr;
    auto* data = static_cast<uint8_t*>(QS_ALLOC(size_t(size), false));
    zip_uint64_t done = 0;
    while (done < size) {
        const zip_int64_t n = zip_fread(file, data + done, size - done);
        if (n <= 0) break;
        done += zip_uint64_t(n);
    }
    if (done < size) {
        LogConsole->Output("read underflow detected\n");
        std::memset(data + done, 0, size_t(size - done));
    }
    zip_fclose(file);
    return data;
}
}  // namespace

int32_t Zip_Unzip(const char* archive, const char* destination)
{
    char archivePath[kPathSize];
    if (!LoadSave_ResolvePath(archive, archivePath, sizeof archivePath))
        LoadSave_MakeSavePath(archivePath, sizeof archivePath, archive);
    char folder[kPathSize];
    LoadSave_MakeSavePath(folder, sizeof folder, destination);

    int error = 0;
    zip_t* zip = archivePath[0] ? zip_open(archivePath, ZIP_RDONLY, &error) : nullptr;
    if (!zip) {
        LogConsole->Output("Unable to open %s for decompression\n", archivePath);
        return 0;
    }
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        const char* name = zip_get_name(zip, zip_uint64_t(i), 0);
        if (!name || zip_stat_index(zip, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) continue;
        if (st.size == 0) continue;  // a folder or an empty file
        // Sizes are 32-bit wherever files are held in memory.
        bool written = false;
        if (folder[0] && std::strlen(name) <= kMaxEntryName && st.size < 0x7FFFFFFFull) {
            if (uint8_t* data = ReadEntry(zip, zip_uint64_t(i), st.size)) {
                // The save-area writer re-roots the path, so "../x" cannot climb out.
                written = LoadSave_WriteSaveFile((std::string(folder) + "/" + name).c_str(), data, size_t(st.size));
                QS_FREE(data);
            }
        }
        if (!written) LogConsole->Output("UNZIP: Failed to write compressed file entry :o\n");
    }
    zip_close(zip);
    return int32_t(count);
}
