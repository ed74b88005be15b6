#include "World/TimeLine_Main.h"

#include <new>

#include "Base/ErrorReport.h"
#include "World/Event_Main.h"
#include "GameData/AssetTable.h"
#include "GameData/GameData.h"

namespace {
AssetTable<CTimeLine> s_timelines("__newtimeline");

void DeleteEntry(intptr_t entry)
{
    if (entry != 0 && (entry & 1) == 0) delete reinterpret_cast<CEvent*>(entry);
}

bool CheckTimeline(const uint8_t* payload, uint32_t length, uint32_t index, uint32_t offset)
{
    if (!GameData_CheckRecord("TMLN", payload, length, offset, 8, "timeline", index)) return false;
    const uint8_t* record = GameData + offset;
    const char* name = nullptr;
    if (!GameData_String("TMLN", GameData_U32(record), &name)) return false;
    const uint32_t moments = GameData_U32(record + 4);
    if (moments > length / 8 || !GameData_CheckRecord("TMLN", payload, length, offset, 8 + 8 * moments, "timeline", index))
        return GameData_Fail("TMLN", "timeline %u: moment count %u does not fit the chunk", index, moments);
    for (uint32_t k = 0; k < moments; ++k) {
        const uint32_t codeAt = GameData_U32(record + 12 + 8 * k);
        if (!EventCode_Check("TMLN", payload, length, codeAt, "moment of timeline", index)) return false;
    }
    return true;
}
}  // namespace

CTimeLine::CTimeLine() : m_self(this) {}

CTimeLine::~CTimeLine()
{
    Clear();
}

bool CTimeLine::Load(const uint8_t* record)
{
    Clear();
    const auto moments = static_cast<int32_t>(GameData_U32(record + 4));
    if (!m_entries.Resize(moments) || !m_times.Resize(moments)) {
        Clear();
        return false;
    }
    for (int32_t k = 0; k < moments; ++k) {
        const uint8_t* moment = record + 8 + 8 * static_cast<uint32_t>(k);
        m_times.items[k] = static_cast<int32_t>(GameData_U32(moment));
        auto* event = new CEvent();
        event->LoadFromChunk(GameData + GameData_U32(moment + 4));
        m_entries.items[k] = reinterpret_cast<intptr_t>(event);
    }
    return true;
}

bool CTimeLine::Prepare()
{
    Event_CurrentKind = EVENT_KIND_TIMELINE;
    for (int32_t k = 0; k < m_times.length; ++k) Event_CurrentNumber = m_times.items[k];
    return true;
}

void CTimeLine::Clear()
{
    for (int32_t k = 0; k < m_entries.length; ++k) DeleteEntry(m_entries.items[k]);
    m_entries.Resize(0);
    m_times.Resize(0);
}

intptr_t CTimeLine::GetMomentEvent(int32_t k) const
{
    return k >= 0 && k < m_entries.length ? m_entries.items[k] : 0;
}

int32_t CTimeLine::GetMomentTime(int32_t k) const
{
    return k >= 0 && k < m_times.length ? m_times.items[k] : 0;
}

int32_t CTimeLine::FindMoment(int32_t time) const
{
    for (int32_t k = 0; k < m_times.length; ++k) {
        if (m_times.items[k] == time) return k;
    }
    return -1;
}

int32_t CTimeLine::FirstMomentFrom(double position) const
{
    int32_t k = 0;
    while (k < m_times.length && static_cast<double>(m_times.items[k]) < position) ++k;
    return k;
}

int32_t CTimeLine::LastMomentUpTo(double position) const
{
    int32_t k = m_times.length - 1;
    while (k >= 0 && static_cast<double>(m_times.items[k]) > position) --k;
    return k;
}

void CTimeLine::AddMoment(int32_t time, int32_t script)
{
    const int32_t before = LastMomentUpTo(static_cast<double>(time));
    if (before >= 0 && m_times.items[before] == time) return;
    const int32_t n = m_times.length;
    if (!m_entries.Resize(n + 1)) return;
    if (!m_times.Resize(n + 1)) {
        m_entries.Resize(n);
        return;
    }
    const int32_t at = before + 1;
    for (int32_t k = n; k > at; --k) {
        m_entries.items[k] = m_entries.items[k - 1];
        m_times.items[k] = m_times.items[k - 1];
    }
    m_entries.items[at] = 2 * static_cast<intptr_t>(script) + 1;
    m_times.items[at] = time;
}

void CTimeLine::SetMomentScript(int32_t time, int32_t script)
{
    const int32_t k = FindMoment(time);
    if (k < 0) return;
    DeleteEntry(m_entries.items[k]);
    m_entries.items[k] = 2 * static_cast<intptr_t>(script) + 1;
}

void CTimeLine::DeleteMoment(int32_t time)
{
    const int32_t k = FindMoment(time);
    if (k < 0) return;
    DeleteEntry(m_entries.items[k]);
    const int32_t n = m_times.length;
    for (int32_t i = k; i + 1 < n; ++i) {
        m_entries.items[i] = m_entries.items[i + 1];
        m_times.items[i] = m_times.items[i + 1];
    }
    m_entries.Resize(n - 1);
    m_times.Resize(n - 1);
}

void TimeLine_Init()
{
    TimeLine_Free();
}

bool TimeLine_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    uint32_t count = 0;
    if (!GameData_CheckList("TMLN", payload, length, &count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(payload + 4 + 4 * i);
        if (offset != 0 && !CheckTimeline(payload, length, i, offset)) return false;
    }
    return s_timelines.LoadChunk("TMLN", "timeline slots", payload, length,
                                 [](uint32_t i, uint32_t offset, CTimeLine** record, const char** name) {
                                     const uint8_t* entry = GameData + offset;
                                     *record = new (std::nothrow) CTimeLine();
                                     if (!*record || !(*record)->Load(entry))
                                         return GameData_Fail("TMLN", "no memory for timeline %u", i);
                                     GameData_String("TMLN", GameData_U32(entry), name);
                                     return true;
                                 });
}

bool TimeLine_Prepare()
{
    for (int32_t i = 0; i < s_timelines.Count(); ++i) {
        if (!s_timelines.Get(i)) continue;
        Event_CurrentObject = i;
        if (!s_timelines.Get(i)->Prepare()) return false;
    }
    return true;
}

CTimeLine* TimeLine_Get(int32_t index)
{
    return s_timelines.Get(index);
}

bool TimeLine_Exists(int32_t index)
{
    return TimeLine_Get(index) != nullptr;
}

int32_t TimeLine_Count()
{
    return s_timelines.Count();
}

const char* TimeLine_Name(int index)
{
    return TimeLine_Exists(index) ? s_timelines.Name(index) : "<undefined>";
}

int TimeLine_Find(const char* name)
{
    return s_timelines.FindFirst(name);
}

int32_t TimeLine_Add()
{
    return s_timelines.Append(new (std::nothrow) CTimeLine());
}

bool TimeLine_Delete(int32_t index)
{
    if (!TimeLine_Exists(index)) return false;
    s_timelines.CloseGap(index);
    return true;
}

void TimeLine_FreeAll()
{
    s_timelines.FreeAll();
}

void TimeLine_Free()
{
    TimeLine_FreeAll();
}
