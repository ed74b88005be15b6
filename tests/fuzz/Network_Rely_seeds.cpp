// Writes the seed corpus of the reliable UDP fuzzer: an unsequenced packet,
// data, and an acknowledgement of two sequences. Each starts with an odd
// byte, so the fuzzer gives it a correct CRC.
#include "TextSeeds.h"

int main(int argc, char** argv)
{
    return WriteByteSeeds(argc, argv,
                          {
                              SeedWords({1, 0}) + "loose",
                              SeedWords({1, 1, 7}) + "data",
                              SeedWords({1, 2, 8, 1, 7}),
                          });
}
