#include "support/TestModule.h"

namespace testmodule {
StackTraceFrame* ChainHead = nullptr;

namespace {
GameLinkRecord s_record;
bool s_installed = false;
}  // namespace

void Install(const GameLinkRecord& record)
{
    s_record = record;
    if (!s_record.callChainHead) s_record.callChainHead = &ChainHead;
    s_installed = true;
}

void Remove()
{
    s_installed = false;
}

Installed::Installed(const GameLinkRecord& record)
{
    Install(record);
    LinkRecord_Load();
}

Installed::~Installed()
{
    Remove();
    LinkRecord_Free();
}

}  // namespace testmodule

// The test binary's game module: whatever a test installed, or none.
GameLinkRecord* GameModule_GetLinkRecord(GameLinkRecord* record)
{
    if (!testmodule::s_installed) return nullptr;
    *record = testmodule::s_record;
    return record;
}
