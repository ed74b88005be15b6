#pragma once
// An ini text held as sections of key/value entries. Sections and entries are
// kept newest first, as parsed and as added; names and keys compare byte-wise.
// A named ini comes from the save area, else the bundle, and is written back
// into the save area, whole, when it has changed.

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
    // Parses the file of that name (save area first, then bundle); a missing
    // file gives an ini with no sections that keeps the name.
    explicit IniFile(const char* name);
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

    // Sets a value (null: the empty text), adding the key and its section
    // when missing; false for a null section or key. The section
    // "SYSTEM_COMMAND" is never stored: its key "INI_FILE_FLUSH" with the
    // value "NOW" writes the ini back at once.
    bool WriteString(const char* section, const char* key, const char* value);
    // Remove the first matching entry or section; true when one went.
    bool DeleteKey(const char* section, const char* key);
    bool DeleteSection(const char* section);
    // The whole text in a new memory-manager block the caller frees (its
    // length in *size when size is not null); when the ini has a name and has
    // changed, the text is also written into the save area first.
    char* WriteBack(int* size = nullptr);
    bool Dirty() const { return m_dirty; }

private:
    void Parse();
    void SkipBlanksAndComments();
    bool ReadSection();
    bool ReadEntry();
    void Clear();
    void FreeText();

    char* m_name = nullptr;
    char* m_text = nullptr;
    int m_size = 0;
    int m_pos = 0;
    IniSection* m_sections = nullptr;
    bool m_dirty = false;
};
