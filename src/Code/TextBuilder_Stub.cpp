#include "Code/TextBuilder_Stub.h"

#include <cstdlib>

void TextBuilder::Free()
{
    std::free(data);
    data = nullptr;
    capacity = 0;
    length = 0;
}
