// Writes the seed corpus of the number-text fuzzer.
#include "TextSeeds.h"

int main(int argc, char** argv)
{
    return WriteTextSeeds(argc, argv,
                          {
                              " 12 ",
                              "-0x1A",
                              "0xFFFFFFFF",
                              "3.5e2xyz",
                              "+Infinity",
                              "\xC2\xA0" "8\xE2\x80\xA8",
                              "1e999",
                              ".5e-400",
                              "0x1p-3",
                              "nan(123)",
                          });
}
