// Writes the seed corpus of the json_decode fuzzer.
#include "TextSeeds.h"

int main(int argc, char** argv)
{
    return WriteTextSeeds(argc, argv,
                          {
                              "{ \"a\": 1, \"b\": [1, 2.5, \"three\", null, true], \"c\": { \"d\": {} } }",
                              "[[1,2],[3,[4,{\"deep\":\"x\"}]]]",
                              "17",
                              "{x",
                              "{\"s\":\"\\u00e9\\n\\\"\",\"n\":-12345678901,\"e\":1e300,\"z\":-0.0}",
                          });
}
