#include "IO/IniFile.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "Base/MemoryManager.h"

namespace {
char* CopyRange(const char* start, int length)
{
    char* copy = static_cast<char*>(QS_ALLOC(static_cast<size_t>(length) + 1, false));
    std::memcpy(copy, start, static_cast<size_t>(length));
    copy[length] = '\0';
    return copy;
}

bool IsBlankOrComment(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '#' || c == ';';
}
}  // namespace

IniFile::~IniFile()
{
    Clear();
}

void IniFile::Clear()
{
    while (m_sections) {
        IniSection* s = m_sections;
        m_sections = s->next;
        while (s->entries) {
            IniEntry* e = s->entries;
            s->entries = e->next;
            QS_FREE(e->key);
            QS_FREE(e->value);
            QS_FREE(e);
        }
        QS_FREE(s->name);
        QS_FREE(s);
    }
    if (m_text) QS_FREE(m_text);
    m_text = nullptr;
    m_size = 0;
    m_pos = 0;
}

void IniFile::LoadFromString(const char* text)
{
    Clear();
    if (!text) return;
    const size_t length = std::strlen(text);
    if (length > static_cast<size_t>(INT_MAX - 1)) return;
    m_size = static_cast<int>(length);
    m_text = CopyRange(text, m_size);
    Parse();
    QS_FREE(m_text);  // the text is only needed while parsing
    m_text = nullptr;
}

void IniFile::SkipBlanksAndComments()
{
    while (m_pos < m_size && IsBlankOrComment(m_text[m_pos])) {
        if (m_text[m_pos] == '#' || m_text[m_pos] == ';') {
            while (m_pos < m_size && m_text[m_pos] != '\r' && m_text[m_pos] != '\n') ++m_pos;
        } else {
            ++m_pos;
        }
    }
}

bool IniFile::ReadSection()
{
    SkipBlanksAndComments();
    while (m_pos < m_size && m_text[m_pos] != '[') ++m_pos;
    if (m_pos >= m_size) return false;
    const int start = ++m_pos;
    while (m_pos < m_size && m_text[m_pos] != ']') ++m_pos;
    if (m_pos >= m_size) return false;
    IniSection* s = static_cast<IniSection*>(QS_ALLOC(sizeof(IniSection), true));
    s->name = CopyRange(m_text + start, m_pos - start);
    s->next = m_sections;
    m_sections = s;
    ++m_pos;
    return true;
}

bool IniFile::ReadEntry()
{
    SkipBlanksAndComments();
    if (m_pos >= m_size || m_text[m_pos] == '[') return false;
    const int keyStart = m_pos;
    while (m_pos < m_size && m_text[m_pos] != '=') ++m_pos;
    if (m_pos >= m_size) {
        m_pos = m_size;  // no "=" before the end: parsing ends
        return false;
    }
    int keyEnd = m_pos;
    while (keyEnd > keyStart && IsBlankOrComment(m_text[keyEnd - 1])) --keyEnd;
    ++m_pos;
    const int beforeValue = m_pos;
    SkipBlanksAndComments();
    // A value on another line means the key had none: the entry is dropped.
    bool crossedLine = false;
    for (int i = beforeValue; i < m_pos; ++i) crossedLine |= (m_text[i] == '\r' || m_text[i] == '\n');
    if (crossedLine || m_pos >= m_size) return true;
    int valueStart = m_pos;
    int valueEnd;
    const char c = m_text[m_pos];
    if (c == '"' || c == '\'') {
        valueStart = ++m_pos;
        while (m_pos < m_size && m_text[m_pos] != c && m_text[m_pos] != '\r' && m_text[m_pos] != '\n') ++m_pos;
        valueEnd = m_pos;
        while (m_pos < m_size && m_text[m_pos] != '\r' && m_text[m_pos] != '\n') ++m_pos;
    } else {
        while (m_pos < m_size && m_text[m_pos] != '#' && m_text[m_pos] != ';' && m_text[m_pos] != '\r' &&
               m_text[m_pos] != '\n')
            ++m_pos;
        valueEnd = m_pos;
    }
    while (valueEnd > valueStart && (m_text[valueEnd - 1] == ' ' || m_text[valueEnd - 1] == '\t')) --valueEnd;
    IniEntry* e = static_cast<IniEntry*>(QS_ALLOC(sizeof(IniEntry), true));
    e->key = CopyRange(m_text + keyStart, keyEnd - keyStart);
    e->value = CopyRange(m_text + valueStart, valueEnd - valueStart);
    e->next = m_sections->entries;
    m_sections->entries = e;
    return true;
}

void IniFile::Parse()
{
    m_pos = (m_size > 2 && std::memcmp(m_text, "\xEF\xBB\xBF", 3) == 0) ? 3 : 0;
    if (!ReadSection()) return;
    while (m_pos < m_size) {
        if (ReadEntry()) continue;
        if (m_pos >= m_size || m_text[m_pos] != '[' || !ReadSection()) return;
    }
}

IniSection* IniFile::FindSection(const char* section) const
{
    if (!section) return nullptr;
    for (IniSection* s = m_sections; s; s = s->next)
        if (std::strcmp(s->name, section) == 0) return s;
    return nullptr;
}

IniEntry* IniFile::GetKey(const char* section, const char* key) const
{
    IniSection* s = FindSection(section);
    if (!s || !key) return nullptr;
    for (IniEntry* e = s->entries; e; e = e->next)
        if (std::strcmp(e->key, key) == 0) return e;
    return nullptr;
}

const char* IniFile::ReadString(const char* section, const char* key, const char* defaultValue) const
{
    IniEntry* e = GetKey(section, key);
    return e ? e->value : defaultValue;
}

int IniFile::ReadInt(const char* section, const char* key, int defaultValue) const
{
    IniEntry* e = GetKey(section, key);
    if (!e) return defaultValue;
    const long long v = std::strtoll(e->value, nullptr, 10);
    return static_cast<int>(v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : v);
}
