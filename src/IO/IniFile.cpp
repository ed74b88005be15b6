#include "IO/IniFile.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Base/MemoryManager.h"
#include "IO/LoadSave.h"

namespace {
char* CopyRange(const char* start, int length)
{
    char* copy = static_cast<char*>(QS_ALLOC(static_cast<size_t>(length) + 1, false));
    std::memcpy(copy, start, static_cast<size_t>(length));
    copy[length] = '\0';
    return copy;
}

void FreeEntry(IniEntry* e)
{
    QS_FREE(e->key);
    QS_FREE(e->value);
    QS_FREE(e);
}

void FreeSection(IniSection* s)
{
    while (s->entries) {
        IniEntry* e = s->entries;
        s->entries = e->next;
        FreeEntry(e);
    }
    QS_FREE(s->name);
    QS_FREE(s);
}

char* CopyText(const char* text)
{
    return CopyRange(text, static_cast<int>(std::strlen(text)));
}

bool IsBlankOrComment(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '#' || c == ';';
}
}  // namespace

IniFile::IniFile(const char* name)
{
    if (!name) return;
    m_name = CopyText(name);
    uint32_t size = 0;
    uint8_t* data = LoadSave_SaveFileExists(name) ? LoadSave_ReadSaveFile(name, &size)
                                                  : LoadSave_ReadBundleFile(name, &size);
    if (!data) return;
    m_text = reinterpret_cast<char*>(data);
    if (size <= static_cast<uint32_t>(INT_MAX - 1)) {
        m_size = static_cast<int>(size);
        Parse();
    }
    FreeText();
}

IniFile::~IniFile()
{
    Clear();
    if (m_name) QS_FREE(m_name);
}

void IniFile::FreeText()
{
    if (m_text) QS_FREE(m_text);  // the text is only needed while parsing
    m_text = nullptr;
}

void IniFile::Clear()
{
    while (m_sections) {
        IniSection* s = m_sections;
        m_sections = s->next;
        FreeSection(s);
    }
    FreeText();
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
    FreeText();
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

bool IniFile::WriteString(const char* section, const char* key, const char* value)
{
    m_dirty = true;
    if (section && std::strcmp(section, "SYSTEM_COMMAND") == 0) {
        if (key && value && std::strcmp(key, "INI_FILE_FLUSH") == 0 && std::strcmp(value, "NOW") == 0)
            QS_FREE(WriteBack());
        return false;
    }
    if (!section || !key) return false;
    IniEntry* e = GetKey(section, key);
    if (!e) {
        IniSection* s = FindSection(section);
        if (!s) {
            s = static_cast<IniSection*>(QS_ALLOC(sizeof(IniSection), true));
            s->name = CopyText(section);
            s->next = m_sections;
            m_sections = s;
        }
        e = static_cast<IniEntry*>(QS_ALLOC(sizeof(IniEntry), true));
        e->key = CopyText(key);
        e->next = s->entries;
        s->entries = e;
    }
    if (e->value) QS_FREE(e->value);
    e->value = CopyText(value ? value : "");
    return true;
}

bool IniFile::DeleteKey(const char* section, const char* key)
{
    IniSection* s = FindSection(section);
    if (!s || !key) return false;
    for (IniEntry** link = &s->entries; *link; link = &(*link)->next) {
        if (std::strcmp((*link)->key, key) != 0) continue;
        IniEntry* e = *link;
        *link = e->next;
        FreeEntry(e);
        m_dirty = true;
        return true;
    }
    return false;
}

bool IniFile::DeleteSection(const char* section)
{
    if (!section) return false;
    for (IniSection** link = &m_sections; *link; link = &(*link)->next) {
        if (std::strcmp((*link)->name, section) != 0) continue;
        IniSection* s = *link;
        *link = s->next;
        FreeSection(s);
        m_dirty = true;
        return true;
    }
    return false;
}

char* IniFile::WriteBack(int* size)
{
    std::string text;
    for (const IniSection* s = m_sections; s; s = s->next) {
        text.append("[").append(s->name).append("]\r\n");
        for (const IniEntry* e = s->entries; e; e = e->next) {
            // A value holding a double quote is written in single quotes
            // when it can be, so that it reads back whole.
            const char quote = std::strchr(e->value, '"') && !std::strchr(e->value, '\'') ? '\'' : '"';
            text.append(e->key).append("=").append(1, quote).append(e->value).append(1, quote).append("\r\n");
        }
    }
    if (m_dirty && m_name) {
        LoadSave_WriteSaveFile(m_name, text.data(), text.size());
        m_dirty = false;
    }
    if (size) *size = static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
    char* copy = static_cast<char*>(QS_ALLOC(text.size() + 1, false));
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}
