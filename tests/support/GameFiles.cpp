#include "support/GameFiles.h"

#include "Runner/GameChunks.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "Runner/Runner_LoadGame.h"
#include "Runner/GameHeader_Load.h"

namespace testgames {

std::vector<uint8_t> SmallGame()
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.roomOrder = {0, 1};
    h.gameSpeed = 30.0f;
    w.Gen8(h);
    gamedata::Options o;
    o.constants = {{"@@SleepMargin", "4"}, {"Lives", "3"}};
    w.Optn(o);
    gamedata::Languages l;
    l.keys = {"hello"};
    l.languages = {{"English", "GB", {"Hello"}}};
    w.Lang(l);
    gamedata::TexturePageEntry e;
    e.width = e.height = e.cropWidth = e.cropHeight = e.fullWidth = e.fullHeight = 16;
    w.Tpag({e, e});
    gamedata::Texture t;
    t.image = {0x89, 'P', 'N', 'G', 1, 2, 3, 4};
    w.Txtr({t});
    w.Glob({0});
    w.Add("SPRT").U32(0);
    w.Add("SHDR").U32(0);
    w.Strg();
    return w.Finish();
}

bool LoadBoth(const std::vector<uint8_t>& bytes)
{
    GameData_ClearError();
    const uint32_t size = static_cast<uint32_t>(bytes.size());
    return LoadGameHeader(bytes.data(), size) && LoadGameChunks(bytes.data(), size);
}

void Unload()
{
    UnloadGameData();
    GameData_ClearError();
}

CapturedLog::CapturedLog() : m_verbose(VerboseConsole), m_log(LogConsole)
{
    VerboseConsole = &m_stream;
    LogConsole = &m_stream;
}

CapturedLog::~CapturedLog()
{
    VerboseConsole = m_verbose;
    LogConsole = m_log;
}

std::string CapturedLog::Text() const
{
    return m_stream.Text();
}

}  // namespace testgames
