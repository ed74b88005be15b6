// Writes the seed corpus of the comma-separated reader's fuzzer.
#include "TextSeeds.h"

int main(int argc, char** argv)
{
    return WriteTextSeeds(argc, argv,
                          {
                              "a,b\nc,d",
                              "a,b\r\nc,d\r\n",
                              "1,2,3\n4\n",
                              "\"x,y\",z\n\"a\"\"b\",\"\"\n",
                              "\xEF\xBB\xBFname,score\r\nada,3\r\n\r\nbob",
                          });
}
