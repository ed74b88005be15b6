// Writes the seed corpus of the interpreter fuzzer: small assembled programs.
#include <cstdio>
#include <string>
#include <vector>

#include "gamedata/Assembler.h"
#include "gamedata/FormWriter.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const char* const kPrograms[] = {
        "push.d 1.5\npush.i 2\nadd.i.d\nconv.d.v\nret.v",
        ("push.i 0\nconv.i.v\npop.v.v local.100000\nloop:\npushl 100000\npush.d 10\nconv.d.v\nset.v.v lt\n"
         "bf end\npushl 100000\npush.d 1\nconv.d.v\nadd.v.v\npop.v.v local.100000\nb loop\nend:\npushl 100000"),
        "push.d 3\nconv.d.v\ndup.v 0\nmul.v.v\npush.i 7\nconv.i.s\nconv.s.v\nadd.v.v\npopz.v",
        "pushi -1\npushenv end\nbody:\npush.b 1\npopz.b\nend:\npopenv body\nexit.i",
        "push.i 1\npush.i 0\ndiv.i.i\npush.l 5\nshl.l.l",
        // Object-mode forms, scopes and calls of function values.
        "push.d 1\nconv.d.v\npush.i 2\nadd.i.v 0x100\npush.d 3\nconv.d.v\nset.v.v 12\nneg.i 0x100\nconv.v.b 0x100",
        "push.v unset.0\npush.d 1\nconv.d.v\nsub.v.v 0x100",
        "push.d 1\nconv.d.v\npush.v -9.100001\npush.d 2\nconv.d.v\npop.v.v -12.100001\npop.v.del -11.100002",
        "push.d 1\nconv.d.v\npush.d 2\nconv.d.v\ncall.v 0 0\npush.d 4\nconv.d.v\npushenv end object\nend:\npopenv end",
        // A with-block around a try block (built-in 0, handler at offset 4) and a throw (built-in 1).
        ("b start\npopz.v\npopz.v\nb end\nstart:\npushi -1\npushenv end\nbody:\npush.d 2\nconv.d.v\n"
         "push.d 4\nconv.d.v\ncall.i 0 1\npopz.v\npush.d 1\nconv.d.v\ncall.i 1 1\nend:\npopenv body"),
    };
    bool ok = true;
    int n = 0;
    for (const char* program : kPrograms) {
        const gamedata::Assembled code = gamedata::Assemble(program);
        std::vector<uint8_t> bytes(code.words.size() * 4);
        for (size_t i = 0; i < code.words.size(); ++i)
            for (int b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<uint8_t>(code.words[i] >> (8 * b));
        ok &= gamedata::WriteFile(std::string(argv[1]) + "/program" + std::to_string(n++) + ".bin", bytes);
    }
    return ok ? 0 : 1;
}
