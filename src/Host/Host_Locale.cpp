#include "Host/Host_Locale.h"

#include <langinfo.h>
#include <locale.h>
#include <wctype.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
// The user's default character classes. Texts are UTF-8, so a user locale
// that cannot be opened or whose character set is not UTF-8 (plain "C" knows
// only ASCII letters) gives way to "C.UTF-8", then to plain "C".
locale_t UserLocale()
{
    static locale_t locale = [] {
        locale_t opened = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
        if (opened && std::strcmp(nl_langinfo_l(CODESET, opened), "UTF-8") != 0) {
            freelocale(opened);
            opened = static_cast<locale_t>(0);
        }
        if (!opened) opened = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        if (!opened) opened = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
        return opened;
    }();
    return locale;
}
}  // namespace

uint32_t Host_ToLowerUser(uint32_t codePoint)
{
    locale_t locale = UserLocale();
    if (!locale) return codePoint;
    const auto c = static_cast<wint_t>(codePoint);
    return iswupper_l(c, locale) ? static_cast<uint32_t>(towlower_l(c, locale)) : codePoint;
}

uint32_t Host_ToUpperUser(uint32_t codePoint)
{
    locale_t locale = UserLocale();
    if (!locale) return codePoint;
    const auto c = static_cast<wint_t>(codePoint);
    return iswlower_l(c, locale) ? static_cast<uint32_t>(towupper_l(c, locale)) : codePoint;
}

double Host_ReadDecimalC(const char* text, char** end, bool* overflow)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    errno = 0;
    const double value = strtod_l(text, end, c);
    *overflow = errno == ERANGE && std::isinf(value);
    return value;
}
