#include "GameData/Language.h"

#include "Base/MemoryManager.h"
#include "GameData/GameData.h"

LanguageTable Languages = {0, 0, nullptr, nullptr, -1};

namespace {
bool ReadStrings(const uint8_t* p, uint32_t n, const char** out)
{
    for (uint32_t i = 0; i < n; ++i)
        if (!GameData_String("LANG", GameData_U32(p + 4 * i), &out[i])) return false;
    return true;
}
}  // namespace

void Language_Free()
{
    for (uint32_t i = 0; i < Languages.languageCount; ++i)
        if (Languages.languages[i].texts) QS_FREE(Languages.languages[i].texts);
    if (Languages.languages) QS_FREE(Languages.languages);
    if (Languages.keys) QS_FREE(Languages.keys);
    Languages = LanguageTable{0, 0, nullptr, nullptr, -1};
}

bool Language_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    Language_Free();
    if (length < 12) return GameData_Fail("LANG", "payload of %u bytes is too short for its counts", length);
    const uint32_t languageCount = GameData_U32(payload + 4);
    const uint32_t entryCount = GameData_U32(payload + 8);
    if (languageCount < 1 || entryCount < 1) return true;
    const uint64_t need = 12 + 4ull * entryCount + static_cast<uint64_t>(languageCount) * (8 + 4ull * entryCount);
    if (need > length)
        return GameData_Fail("LANG", "%u languages of %u entries need %llu bytes but the payload holds %u",
                             languageCount, entryCount, static_cast<unsigned long long>(need), length);
    Languages.keys = static_cast<const char**>(QS_ALLOC(sizeof(char*) * entryCount, true));
    Languages.languages = static_cast<LanguageRecord*>(QS_ALLOC(sizeof(LanguageRecord) * languageCount, true));
    Languages.languageCount = languageCount;
    Languages.entryCount = entryCount;
    bool ok = ReadStrings(payload + 12, entryCount, Languages.keys);
    const uint8_t* p = payload + 12 + 4 * entryCount;
    for (uint32_t l = 0; ok && l < languageCount; ++l) {
        LanguageRecord& lang = Languages.languages[l];
        lang.texts = static_cast<const char**>(QS_ALLOC(sizeof(char*) * entryCount, true));
        ok = GameData_String("LANG", GameData_U32(p), &lang.name) &&
             GameData_String("LANG", GameData_U32(p + 4), &lang.region) && ReadStrings(p + 8, entryCount, lang.texts);
        p += 8 + 4 * entryCount;
    }
    if (!ok) {
        Language_Free();
        return false;
    }
    Languages.current = 0;
    return true;
}
