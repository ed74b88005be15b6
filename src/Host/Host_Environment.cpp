#include "Host/Host_Environment.h"

#include <cstdlib>

const char* Host_GetEnvironment(const char* name)
{
    return std::getenv(name);
}
