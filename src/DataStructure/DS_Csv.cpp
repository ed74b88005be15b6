#include "DataStructure/DS_Csv.h"

#include <string>
#include <vector>

#include "Base/Console.h"
#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Native.h"

namespace {
// A grid of the text's own size holds about one cell per byte; this many per
// byte is far beyond any real file and keeps a few bytes from asking for
// gigabytes.
constexpr int64_t kCellsPerByte = 64;

struct Line {
    const char* start;
    size_t length;
};

std::vector<Line> SplitLines(const char* text, size_t length)
{
    std::vector<Line> lines;
    size_t start = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back({text + start, i - start});
        if (text[i] == '\r' && i + 1 < length && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < length) lines.push_back({text + start, length - start});
    return lines;
}

// Calls store(column, field) for every field of a line; the field count. A
// quote mark opens quotes at the line's start or after a separating comma and
// closes them before a comma or the line's end; elsewhere every second quote
// mark of the line is kept (the first of a pair is dropped).
template <typename F>
int64_t ForEachField(const Line& line, std::string* field, F&& store)
{
    bool inQuotes = false, afterSeparator = false, pendingQuote = false;
    int64_t column = 0;
    field->clear();
    for (size_t i = 0; i < line.length; ++i) {
        const char c = line.start[i];
        if (c == ',' && !inQuotes) {
            store(column++, *field);
            field->clear();
            afterSeparator = true;
            continue;
        }
        if (c == '"') {
            const bool closes = i + 1 == line.length || line.start[i + 1] == ',';
            if (inQuotes && closes) {
                inQuotes = false;
            } else if (i == 0 || afterSeparator) {
                inQuotes = true;
            } else if (!pendingQuote) {
                pendingQuote = true;
            } else {
                field->push_back('"');
                pendingQuote = false;
            }
        } else {
            field->push_back(c);
        }
        afterSeparator = false;
    }
    store(column++, *field);
    return column;
}
}  // namespace

int32_t CSV_LoadText(const char* text, size_t length)
{
    const std::vector<Line> lines = SplitLines(text, length);
    if (lines.empty()) return -1;
    std::string field;
    const int64_t width = ForEachField(lines[0], &field, [](int64_t, const std::string&) {});
    const auto height = static_cast<int64_t>(lines.size());
    if (width > INT32_MAX || height > INT32_MAX || width * height > kCellsPerByte * (static_cast<int64_t>(length) + 1)) {
        OutputConsole->Output("load_csv: %lld columns by %lld lines is far more than %zu bytes can fill; not loaded\n",
                              static_cast<long long>(width), static_cast<long long>(height), length);
        return -1;
    }
    const int32_t handle = DsGrid_Create(static_cast<int32_t>(width), static_cast<int32_t>(height));
    DsGrid* grid = DsGridTable.Get(handle);
    if (!grid) return -1;
    for (int32_t row = 0; row < static_cast<int32_t>(height); ++row) {
        ForEachField(lines[static_cast<size_t>(row)], &field, [&](int64_t column, const std::string& text) {
            if (column < width) ScriptValue_SetString(grid->Cell(static_cast<int32_t>(column), row), text.c_str());
        });
    }
    return handle;
}
