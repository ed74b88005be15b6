// The model file: a text of the version line "100", the command count, then
// one line per command with its kind and ten numbers. Lines may end in LF,
// CR LF or NUL; the last one needs no line break. A file is taken whole or
// not at all: anything that does not read as a model leaves the model empty.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "Base/Console.h"
#include "Buffer/MemoryStream.h"
#include "Code/Code_ValueConvert.h"
#include "Graphics/Graphics_3D_Model.h"
#include "Graphics/Graphics_3D_Model_Internal.h"
#include "IO/LoadSave.h"

namespace {

constexpr int kFields = 10;
// The shortest command line: eleven one-digit numbers and their ten spaces.
constexpr int64_t kShortestLine = 21;

bool IsIntegerField(int kind, int n)
{
    switch (kind) {
    case MODEL_VERTEX_COLOUR: return n == 3;
    case MODEL_VERTEX_TEXTURE_COLOUR: return n == 5;
    case MODEL_VERTEX_NORMAL_COLOUR: return n == 6;
    case MODEL_VERTEX_NORMAL_TEXTURE_COLOUR: return n == 8;
    case MODEL_CYLINDER:
    case MODEL_CONE: return n == 8 || n == 9;
    case MODEL_ELLIPSOID: return n == 8;
    default: return false;
    }
}

bool IsBreak(char c) { return c == '\r' || c == '\n' || c == '\0'; }
bool IsSpace(char c) { return c == ' ' || c == '\t'; }

class LineReader {
public:
    LineReader(const char* data, int64_t size) : p_(data), end_(data + size) {}
    // The next line, after any run of line breaks; false at the end of the data.
    bool Next(std::string_view& line)
    {
        while (p_ < end_ && IsBreak(*p_)) ++p_;
        if (p_ == end_) return false;
        const char* start = p_;
        while (p_ < end_ && !IsBreak(*p_)) ++p_;
        line = std::string_view(start, static_cast<size_t>(p_ - start));
        return true;
    }
    int64_t Remaining() const { return end_ - p_; }

private:
    const char* p_;
    const char* end_;
};

// A short quotation of a line for messages.
std::string Quote(std::string_view line)
{
    constexpr size_t kMost = 40;
    return "\"" + std::string(line.substr(0, kMost)) + (line.size() > kMost ? "...\"" : "\"");
}

// One command line: the kind, then exactly ten numbers, separated by blanks.
bool ParseCommand(std::string_view line, ModelCommand& out, std::string& why)
{
    const std::string text(line);  // terminated, so the number readers stop at its end
    const char* p = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long kind = std::strtol(p, &end, 10);
    if (end == p || (*end && !IsSpace(*end)) || errno == ERANGE) {
        why = Quote(line) + " does not begin with a command number";
        return false;
    }
    if (kind < 0 || kind >= MODEL_COMMAND_KINDS) {
        why = "unknown command " + std::to_string(kind);
        return false;
    }
    out = ModelCommand{};
    out.kind = static_cast<int32_t>(kind);
    p = end;
    for (int n = 0; n < kFields; ++n) {
        while (IsSpace(*p)) ++p;
        if (!*p) {
            why = Quote(line) + " has " + std::to_string(n + 1) + " of the 11 numbers of a command";
            return false;
        }
        const double value = std::strtod(p, &end);
        if (end == p || (*end && !IsSpace(*end))) {
            why = Quote(line) + " holds something that is not a number";
            return false;
        }
        if (IsIntegerField(out.kind, n)) out.fields[n].i = DoubleToInt32(value);
        else out.fields[n].f = DoubleToFloat(value);
        p = end;
    }
    while (IsSpace(*p)) ++p;
    if (*p) {
        why = Quote(line) + " has more than the 11 numbers of a command";
        return false;
    }
    return true;
}

// A whole count: optional blanks, decimal digits with an optional sign, blanks.
bool ParseCount(std::string_view line, int64_t& count)
{
    const std::string text(line);
    char* end = nullptr;
    errno = 0;
    count = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str() || errno == ERANGE) return false;
    while (IsSpace(*end)) ++end;
    return *end == '\0';
}

bool Parse(const char* data, int64_t size, std::vector<ModelCommand>& commands, std::string& why)
{
    LineReader lines(data, size);
    std::string_view line;
    if (!lines.Next(line) || line != "100") {
        why = "is not a model file (its first line is not 100)";
        return false;
    }
    int64_t count = 0;
    if (lines.Next(line) && !ParseCount(line, count)) {
        why = "has a command count " + Quote(line) + " that is not a number";
        return false;
    }
    if (count < 0) {
        why = "has a negative command count " + std::to_string(count);
        return false;
    }
    // Lines need at least kShortestLine characters and a break between them.
    if (count > (lines.Remaining() + 1) / (kShortestLine + 1)) {
        why = "has a command count of " + std::to_string(count) + ", more than the file can hold";
        return false;
    }
    commands.reserve(static_cast<size_t>(count));
    for (int64_t k = 0; k < count; ++k) {
        if (!lines.Next(line)) {
            why = "ends after " + std::to_string(k) + " of its " + std::to_string(count) + " commands";
            return false;
        }
        ModelCommand command;
        std::string problem;
        if (!ParseCommand(line, command, problem)) {
            why = "fails at command " + std::to_string(k + 1) + ": " + problem;
            return false;
        }
        commands.push_back(command);
    }
    return true;
}

}  // namespace

bool Model_Load(int id, const char* path)
{
    Graphics3DModel* model = Model_Get(id);
    if (!model) return false;
    Model_Clear(id);
    MemoryStream stream(0);
    stream.LoadFile(path, 0);
    const char* name = path ? path : "";
    if (!stream.GetBuffer()) {
        LogConsole->Output("d3d_model_load: %s cannot be read\n", name);
        return false;
    }
    std::vector<ModelCommand> commands;
    std::string why;
    if (!Parse(reinterpret_cast<const char*>(stream.GetBuffer()), stream.GetSize(), commands, why)) {
        LogConsole->Output("d3d_model_load: %s %s; the model is left empty\n", name, why.c_str());
        return false;
    }
    model->commands = std::move(commands);
    return true;
}

bool Model_Save(int id, const char* path)
{
    const Graphics3DModel* model = Model_Get(id);
    if (!model) return false;
    std::string text = "100\n" + std::to_string(model->commands.size()) + "\n";
    char number[64];
    for (const ModelCommand& c : model->commands) {
        text += std::to_string(c.kind);
        for (int n = 0; n < kFields; ++n) {
            const double value = IsIntegerField(c.kind, n) ? static_cast<double>(c.fields[n].i)
                                                           : static_cast<double>(c.fields[n].f);
            std::snprintf(number, sizeof number, " %10.4f", value);
            text += number;
        }
        text += '\n';
    }
    LoadSaveFile* file = LoadSave_OpenFile(path, "w");
    if (!file) return false;
    const bool written = LoadSaveFile_Write(text.data(), 1, text.size(), file) == text.size();
    LoadSaveFile_Close(file);
    return written;
}
