#include <cstring>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Options/Runner_Options.h"

CommandLineTokenList CommandLineTokens;
char RunnerToken[kRunnerTokenBufferSize];
bool RunnerTokenRefused = false;

namespace {
bool s_overflowReported = false;

bool IsSeparator(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return u >= 1 && u <= 32;
}

void KeepToken(const char* token)
{
    if (CommandLineTokens.count >= kMaxCommandLineTokens) {
        if (!s_overflowReported) {
            OutputConsole->Output("More than %d command-line tokens: the game sees only the first %d\n",
                                  kMaxCommandLineTokens, kMaxCommandLineTokens);
            s_overflowReported = true;
        }
        return;
    }
    const size_t length = std::strlen(token);
    char* copy = static_cast<char*>(QS_ALLOC(length + 1, false));
    std::memcpy(copy, token, length + 1);
    CommandLineTokens.items[CommandLineTokens.count++] = copy;
}
}  // namespace

void CommandLineTokens_Clear()
{
    for (int i = 0; i < CommandLineTokens.count; ++i) {
        QS_FREE(CommandLineTokens.items[i]);
        CommandLineTokens.items[i] = nullptr;
    }
    CommandLineTokens.count = 0;
    s_overflowReported = false;
}

size_t RunnerNextToken(size_t position, const char* text)
{
    RunnerToken[0] = '\0';
    RunnerTokenRefused = false;
    if (!text || !text[position]) return position;
    while (IsSeparator(text[position])) ++position;
    if (!text[position]) return position;

    size_t length = 0;
    bool quoted = false;
    for (; text[position]; ++position) {
        const char c = text[position];
        if (c == '"') {
            // Inside quotes a doubled quote stands for one quote of the text.
            if (!quoted || text[position + 1] != '"') {
                quoted = !quoted;
                continue;
            }
            ++position;
        }
        if (!quoted && IsSeparator(c)) break;
        if (length < kRunnerTokenBufferSize - 1) {
            RunnerToken[length] = c;
        } else {
            RunnerTokenRefused = true;  // read on to the token's end, keep nothing
        }
        ++length;
    }
    if (RunnerTokenRefused) {
        RunnerToken[0] = '\0';
        OutputConsole->Output("Command-line token of %zu bytes ignored (at most %d)\n", length,
                              kRunnerTokenBufferSize - 1);
        return position;
    }
    RunnerToken[length] = '\0';
    if (length > 0) KeepToken(RunnerToken);
    return position;
}
