#include "Runner/Runner_Entry.h"

#include <cstdio>

int Runner_Main(int, char**)
{
    std::fprintf(stderr, "Unable to find game!!: data.win\n");
    return 1;
}
