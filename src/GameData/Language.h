#pragma once
// The languages chunk ("LANG"): entry keys and, per language, its texts.
// Texts are pointers into the game data image.
#include <cstdint>

struct LanguageRecord {
    const char* name;
    const char* region;
    const char** texts;   // entryCount texts
};

struct LanguageTable {
    uint32_t languageCount;
    uint32_t entryCount;
    const char** keys;
    LanguageRecord* languages;
    int current;          // 0 after loading, -1 without languages or entries
};
extern LanguageTable Languages;

// False, with a message, for a malformed payload.
bool Language_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);
void Language_Free();
