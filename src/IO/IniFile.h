#pragma once
// An ini text held as sections of key/value entries. Sections and entries are
// kept newest first, as parsed; names and keys compare byte-wise.

struct IniEntry {
    IniEntry* next;
    char* key;
    char* value;
};

struct IniSection {
    IniSection* next;
    IniEntry* entries;
    char* name;
};

class IniFile {
public:
    IniFile() = default;
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // Takes a copy of the text and parses it (a leading UTF-8 mark is skipped).
    void LoadFromString(const char* text);
    IniSection* FindSection(const char* section) const;
    IniEntry* GetKey(const char* section, const char* key) const;
    const char* ReadString(const char* section, const char* key, const char* defaultValue) const;
    // The decimal integer at the start of the value, or the default.
    int ReadInt(const char* section, const char* key, int defaultValue) const;

private:
    void Parse();
    void SkipBlanksAndComments();
    bool ReadSection();
    bool ReadEntry();
    void Clear();

    char* m_text = nullptr;
    int m_size = 0;
    int m_pos = 0;
    IniSection* m_sections = nullptr;
};
