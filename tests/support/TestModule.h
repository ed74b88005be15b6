#pragma once
// Stands in for the game module that a game's executable links: tests install
// the link record the runner takes next (GameModule_GetLinkRecord), built from
// their own small compiled functions.
#include "Code/Code_Link.h"

namespace testmodule {

// The head of the module's call chain (the record's callChainHead points here).
extern StackTraceFrame* ChainHead;

// The runner's next LinkRecord_Load takes a copy of record; its callChainHead
// is set to &ChainHead when null.
void Install(const GameLinkRecord& record);
// No game module: the runner finds no link record.
void Remove();

// Installs record and loads it as the runner does when it reads the game;
// Remove() and LinkRecord_Free() undo it.
class Installed {
public:
    explicit Installed(const GameLinkRecord& record);
    ~Installed();
    Installed(const Installed&) = delete;
    Installed& operator=(const Installed&) = delete;
};

}  // namespace testmodule
