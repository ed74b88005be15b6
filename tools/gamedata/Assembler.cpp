#include "gamedata/Assembler.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

namespace gamedata {
namespace {

struct Op {
    const char* name;
    uint32_t opcode;
};

const Op kOps[] = {
    {"conv", 0x07}, {"mul", 0x08}, {"div", 0x09}, {"rem", 0x0A}, {"mod", 0x0B}, {"add", 0x0C},
    {"sub", 0x0D},  {"and", 0x0E}, {"or", 0x0F},  {"xor", 0x10}, {"neg", 0x11}, {"not", 0x12},
    {"shl", 0x13},  {"shr", 0x14}, {"set", 0x15}, {"pop", 0x45}, {"popv", 0x05}, {"dup", 0x86},
    {"callv", 0x99}, {"ret", 0x9C}, {"exit", 0x9D}, {"popz", 0x9E}, {"push", 0xC0}, {"call", 0xD9},
};

int TypeCode(const std::string& suffix)
{
    static const std::map<std::string, int> kTypes = {{"d", 0}, {"f", 1}, {"i", 2}, {"l", 3}, {"b", 4},
                                                      {"v", 5}, {"s", 6}, {"ds", 7}, {"del", 8}, {"decl", 9},
                                                      {"e", 15}};
    const auto it = kTypes.find(suffix);
    return it == kTypes.end() ? -1 : it->second;
}

bool Number(const std::string& text, int64_t* out)
{
    if (text.empty()) return false;
    char* end = nullptr;
    *out = std::strtoll(text.c_str(), &end, 0);
    return *end == '\0';
}

bool Scope(const std::string& text, int32_t* out)
{
    static const std::map<std::string, int32_t> kScopes = {
        {"self", -1},  {"other", -2},     {"all", -3},   {"noone", -4}, {"global", -5},
        {"builtin", -6}, {"local", -7},   {"localself", -8}, {"unset", -14}};
    const auto it = kScopes.find(text);
    if (it != kScopes.end()) {
        *out = it->second;
        return true;
    }
    int64_t n = 0;
    if (!Number(text, &n)) return false;
    *out = static_cast<int32_t>(n);
    return true;
}

// "scope.id" with an optional "[]": the reference word and the word's low 16 bits.
bool Variable(std::string text, uint32_t* ref, uint32_t* low)
{
    bool indexed = false;
    if (text.size() > 2 && text.compare(text.size() - 2, 2, "[]") == 0) {
        indexed = true;
        text.resize(text.size() - 2);
    }
    const size_t dot = text.rfind('.');
    if (dot == std::string::npos) return false;
    int64_t id = 0;
    if (!Number(text.substr(dot + 1), &id)) return false;
    const std::string scopeText = text.substr(0, dot);
    *ref = static_cast<uint32_t>(id) & 0x0FFFFFFFu;
    if (!indexed) *ref |= 1u << 31;
    *low = 0;
    if (scopeText == "stack") return true;
    int32_t scope = 0;
    if (!Scope(scopeText, &scope)) return false;
    *ref |= 1u << 29;
    if (scope >= 100000) {
        *ref |= 1u << 30;
        scope -= 100000;
    }
    *low = static_cast<uint16_t>(scope);
    return true;
}

std::vector<std::string> Split(const std::string& text, char by)
{
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, by)) parts.push_back(part);
    return parts;
}

class Builder {
public:
    std::vector<uint32_t> words;
    std::map<std::string, uint32_t> labels;
    struct Fix {
        size_t word;
        std::string label;
        int line;
    };
    std::vector<Fix> fixes;
    std::string error;

    bool Fail(int line, const std::string& message)
    {
        error = "line " + std::to_string(line) + ": " + message;
        return false;
    }

    bool Line(int number, const std::vector<std::string>& tokens)
    {
        int64_t n = 0;
        if (tokens[0] == ".word") {
            if (tokens.size() < 2 || !Number(tokens[1], &n)) return Fail(number, "bad word");
            words.push_back(static_cast<uint32_t>(n));
            return true;
        }
        const std::vector<std::string> parts = Split(tokens[0], '.');
        const std::string& name = parts[0];
        int first = parts.size() > 1 ? TypeCode(parts[1]) : 0;
        int second = parts.size() > 2 ? TypeCode(parts[2]) : 0;
        if (first < 0 || second < 0) return Fail(number, "unknown type in " + tokens[0]);
        const auto arg = [&](size_t i) -> std::string { return i < tokens.size() ? tokens[i] : std::string(); };
        static const std::map<std::string, uint32_t> kBranches = {
            {"b", 0xB6}, {"bt", 0xB7}, {"bf", 0xB8}, {"pushenv", 0xBA}, {"popenv", 0xBB}};
        if (const auto it = kBranches.find(name); it != kBranches.end()) {
            uint32_t word = it->second << 24;
            if (name == "popenv" && arg(2) == "exit") word |= 0xF0u << 16;
            if (name == "pushenv" && arg(2) == "object") word |= 1u << 23;
            fixes.push_back({words.size(), arg(1), number});
            words.push_back(word);
            return true;
        }
        if (name == "pushi") {
            if (!Number(arg(1), &n)) return Fail(number, "bad immediate");
            words.push_back(0x84u << 24 | 2u << 16 | static_cast<uint16_t>(n));
            return true;
        }
        if (name == "pushl" || name == "pushg" || name == "pushb") {
            if (!Number(arg(1), &n)) return Fail(number, "bad variable id");
            const uint32_t opcode = name == "pushl" ? 0xC1 : name == "pushg" ? 0xC2 : 0xC3;
            const int32_t scope = name == "pushl" ? -7 : name == "pushg" ? -5 : -6;
            words.push_back(opcode << 24 | 5u << 16 | static_cast<uint16_t>(scope));
            words.push_back((static_cast<uint32_t>(n) & 0x0FFFFFFFu) | 1u << 31 | 1u << 29);
            return true;
        }
        if (name == "break") {
            if (!Number(arg(1), &n)) n = 0;
            words.push_back(0xFFFF0000u | static_cast<uint16_t>(n));
            return true;
        }
        const Op* op = nullptr;
        for (const Op& candidate : kOps)
            if (name == candidate.name) op = &candidate;
        if (!op) return Fail(number, "unknown instruction " + name);
        uint32_t word = op->opcode << 24 | static_cast<uint32_t>(second) << 20 | static_cast<uint32_t>(first) << 16;

        if (name == "push") {
            if (first == 5) return VariableOperand(number, word, arg(1));
            if (first == 15) {
                if (!Number(arg(1), &n)) return Fail(number, "bad immediate");
                words.push_back(word | static_cast<uint16_t>(n));
                return true;
            }
            words.push_back(word);
            return Constant(number, first, arg(1));
        }
        if (name == "pop") return VariableOperand(number, word, arg(1));
        if (name == "popv") {
            int32_t scope = 0;
            if (!Scope(arg(1), &scope)) return Fail(number, "bad scope");
            words.push_back(word | static_cast<uint16_t>(scope));
            return true;
        }
        if (name == "set") {
            static const std::map<std::string, uint32_t> kKinds = {{"lt", 1}, {"le", 2}, {"eq", 3},
                                                                   {"ne", 4}, {"ge", 5}, {"gt", 6}};
            const auto it = kKinds.find(arg(1));
            if (it != kKinds.end()) n = it->second;
            else if (!Number(arg(1), &n)) return Fail(number, "bad comparison");
            words.push_back(word | (static_cast<uint32_t>(n) & 0xF) << 8);
            return true;
        }
        if (name == "dup") {
            if (!Number(arg(1), &n)) n = 0;
            word |= static_cast<uint32_t>(n) & 0xFF;
            if (arg(2) == "swap") word |= 1u << 8;
            words.push_back(word);
            return true;
        }
        if (name == "call") {
            int64_t argc = 0;
            if (!Number(arg(1), &n) || !Number(arg(2), &argc)) return Fail(number, "call needs an id and a count");
            words.push_back(word | static_cast<uint16_t>(argc));
            words.push_back(static_cast<uint32_t>(n));
            return true;
        }
        if (name == "callv") {
            if (!Number(arg(1), &n)) n = 0;
            words.push_back(word | static_cast<uint16_t>(n));
            return true;
        }
        if (tokens.size() > 1) {
            if (!Number(arg(1), &n)) return Fail(number, "bad operand");
            word |= static_cast<uint32_t>(n) & 0xFFFF;
        }
        words.push_back(word);
        return true;
    }

    bool VariableOperand(int number, uint32_t word, const std::string& text)
    {
        uint32_t ref = 0, low = 0;
        if (!Variable(text, &ref, &low)) return Fail(number, "bad variable " + text);
        words.push_back(word | 0x40000000u | low);
        words.push_back(ref);
        return true;
    }

    bool Constant(int number, int type, const std::string& text)
    {
        int64_t n = 0;
        switch (type) {
        case 0: {
            char* end = nullptr;
            const double d = std::strtod(text.c_str(), &end);
            if (text.empty() || *end) return Fail(number, "bad double");
            uint32_t halves[2];
            std::memcpy(halves, &d, 8);
            words.push_back(halves[0]);
            words.push_back(halves[1]);
            return true;
        }
        case 1: {
            const float x = std::strtof(text.c_str(), nullptr);
            uint32_t bits;
            std::memcpy(&bits, &x, 4);
            words.push_back(bits);
            return true;
        }
        case 3:
            if (!Number(text, &n)) return Fail(number, "bad long");
            words.push_back(static_cast<uint32_t>(n));
            words.push_back(static_cast<uint32_t>(static_cast<uint64_t>(n) >> 32));
            return true;
        case 4:
            if (text == "true") n = 1;
            else if (text == "false") n = 0;
            else if (!Number(text, &n)) return Fail(number, "bad bool");
            words.push_back(static_cast<uint32_t>(n));
            return true;
        default:
            if (!Number(text, &n)) return Fail(number, "bad operand");
            words.push_back(static_cast<uint32_t>(n));
            return true;
        }
    }
};

}  // namespace

Assembled Assemble(const std::string& source)
{
    Builder b;
    int number = 0;
    for (std::string line : Split(source, '\n')) {
        ++number;
        if (const size_t comment = line.find(';'); comment != std::string::npos) line.resize(comment);
        std::vector<std::string> tokens;
        std::stringstream in(line);
        for (std::string token; in >> token;) tokens.push_back(token);
        if (tokens.empty()) continue;
        if (tokens[0].back() == ':') {
            b.labels[tokens[0].substr(0, tokens[0].size() - 1)] = static_cast<uint32_t>(b.words.size() * 4);
            tokens.erase(tokens.begin());
            if (tokens.empty()) continue;
        }
        if (!b.Line(number, tokens)) return {{}, b.error};
    }
    for (const Builder::Fix& fix : b.fixes) {
        int64_t target = 0;
        const auto it = b.labels.find(fix.label);
        if (it != b.labels.end()) target = it->second;
        else if (!Number(fix.label, &target)) return {{}, "line " + std::to_string(fix.line) + ": no label " + fix.label};
        const int64_t offset = (target - static_cast<int64_t>(fix.word * 4)) / 4;
        b.words[fix.word] |= static_cast<uint32_t>(offset) & 0x7FFFFF;
    }
    return {b.words, ""};
}

}  // namespace gamedata
