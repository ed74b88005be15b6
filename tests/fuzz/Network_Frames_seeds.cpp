// Writes the seed corpus of the framed reader's fuzzer: a framed packet, two
// in a row, a one-byte piece before a packet, a debugger frame, a length word
// past any buffer, and plain bytes. The first byte of each piece the fuzzer
// sends sets how long that piece is.
#include "TextSeeds.h"

namespace {
std::string Framed(const std::string& payload)
{
    return SeedWords({0xDEADC0DE, 12, uint32_t(payload.size())}) + payload;
}
}  // namespace

int main(int argc, char** argv)
{
    return WriteByteSeeds(argc, argv,
                          {
                              Framed("hello"),
                              Framed("one") + Framed("second"),
                              std::string("\0", 1) + Framed("after"),
                              SeedWords({0xBE11C0DE, 44, 20}) + "debugger",
                              SeedWords({0xDEADC0DE, 12, 0xFFFFFFF0u}) + "huge",
                              "plain text, no frame",
                          });
}
