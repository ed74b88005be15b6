#pragma once
// What the operating system tells about itself, the machine and the user.
#include <string>

// The kernel's release as major and minor numbers ("6.1.0-18" gives 6 and 1);
// false when it cannot be read.
bool Host_OSVersion(int* major, int* minor);

// The user's locale for messages, from the first of LC_ALL, LC_MESSAGES and
// LANG that is set and not empty ("da_DK.UTF-8@euro"): its language in lower
// case ("da") and its region in upper case ("DK"). Both are empty for the "C"
// and "POSIX" locales, and the region is empty when the locale names none.
void Host_UserLocale(std::string* language, std::string* region);

// True when an interface other than loopback is up and has an address.
bool Host_NetworkConnected();
