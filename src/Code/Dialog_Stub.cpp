#include "Code/Dialog_Stub.h"

#include <cstdio>

int ShowMessageBox(const char* text)
{
    std::fprintf(stderr, "%s\n", text ? text : "");
    return 0;
}
