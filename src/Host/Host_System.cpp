#include "Host/Host_System.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/utsname.h>

#include <cctype>
#include <cstdlib>

bool Host_OSVersion(int* major, int* minor)
{
    utsname name;
    if (uname(&name) != 0) return false;
    char* end = nullptr;
    const long first = std::strtol(name.release, &end, 10);
    if (end == name.release) return false;
    const long second = *end == '.' ? std::strtol(end + 1, nullptr, 10) : 0;
    *major = static_cast<int>(first);
    *minor = static_cast<int>(second);
    return true;
}

void Host_UserLocale(std::string* language, std::string* region)
{
    language->clear();
    region->clear();
    const char* locale = nullptr;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            locale = value;
            break;
        }
    }
    if (!locale) return;
    const std::string text(locale);
    if (text == "C" || text == "POSIX" || text.rfind("C.", 0) == 0) return;
    // language[_REGION][.codeset][@modifier]
    size_t at = 0;
    while (at < text.size() && std::isalpha(static_cast<unsigned char>(text[at])))
        language->push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(text[at++]))));
    if (at >= text.size() || text[at] != '_') return;
    ++at;
    while (at < text.size() && std::isalnum(static_cast<unsigned char>(text[at])))
        region->push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(text[at++]))));
}

bool Host_NetworkConnected()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    bool connected = false;
    for (const ifaddrs* entry = list; entry && !connected; entry = entry->ifa_next) {
        const unsigned flags = entry->ifa_flags;
        connected = entry->ifa_addr && (flags & IFF_UP) && (flags & IFF_RUNNING) && !(flags & IFF_LOOPBACK);
    }
    freeifaddrs(list);
    return connected;
}
