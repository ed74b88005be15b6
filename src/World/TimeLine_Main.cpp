#include "World/TimeLine_Main.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Value.h"
#include "World/Event_Main.h"
#include "GameData/GameData.h"

namespace {
cARRAY_CLASS<CTimeLine> s_timelines;
cARRAY_STRUCTURE<char*> s_names;

// Every name is a tracked copy, so none depends on which game data is loaded.
void FreeName(int32_t i)
{
    QS_FREE(s_names.items[i]);
    s_names.items[i] = nullptr;
}

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
    const uint8_t* offsets = payload + 4;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(offsets + 4 * i);
        if (offset != 0 && !CheckTimeline(payload, length, i, offset)) return false;
    }
    const auto n = static_cast<int32_t>(count);
    for (int32_t i = n; i < s_names.length; ++i) FreeName(i);
    if (!s_timelines.SetLength(n) || !s_names.Resize(n))
        return GameData_Fail("TMLN", "no memory for %u timeline slots", count);
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t offset = GameData_U32(offsets + 4 * static_cast<uint32_t>(i));
        FreeName(i);
        delete s_timelines.items[i];
        s_timelines.items[i] = nullptr;
        if (offset == 0) continue;
        const uint8_t* record = GameData + offset;
        auto* timeline = new CTimeLine();
        if (!timeline->Load(record)) {
            delete timeline;
            return GameData_Fail("TMLN", "no memory for timeline %d", i);
        }
        s_timelines.items[i] = timeline;
        const char* name = nullptr;
        GameData_String("TMLN", GameData_U32(record), &name);
        s_names.items[i] = name ? DupString(name) : nullptr;
    }
    return true;
}

bool TimeLine_Prepare()
{
    for (int32_t i = 0; i < s_timelines.length; ++i) {
        if (!s_timelines.items[i]) continue;
        Event_CurrentObject = i;
        if (!s_timelines.items[i]->Prepare()) return false;
    }
    return true;
}

CTimeLine* TimeLine_Get(int32_t index)
{
    return index >= 0 && index < s_timelines.length ? s_timelines.items[index] : nullptr;
}

bool TimeLine_Exists(int32_t index)
{
    return TimeLine_Get(index) != nullptr;
}

int32_t TimeLine_Count()
{
    return s_timelines.length;
}

const char* TimeLine_Name(int index)
{
    return TimeLine_Exists(index) ? s_names.items[index] : "<undefined>";
}

int TimeLine_Find(const char* name)
{
    if (!name) return -1;
    for (int32_t i = 0; i < s_timelines.length; ++i) {
        if (s_timelines.items[i] && s_names.items[i] && std::strcmp(s_names.items[i], name) == 0) return i;
    }
    return -1;
}

int32_t TimeLine_Add()
{
    const int32_t index = s_timelines.length;
    char name[64];
    std::snprintf(name, sizeof name, "__newtimeline%d", index);
    auto* timeline = new (std::nothrow) CTimeLine();
    if (!timeline) return -1;
    if (!s_names.Resize(index + 1)) {
        delete timeline;
        return -1;
    }
    if (!s_timelines.SetLength(index + 1)) {
        s_names.Resize(index);
        delete timeline;
        return -1;
    }
    s_names.items[index] = DupString(name);
    s_timelines.items[index] = timeline;
    return index;
}

bool TimeLine_Delete(int32_t index)
{
    if (!TimeLine_Exists(index)) return false;
    delete s_timelines.items[index];
    FreeName(index);
    const int32_t n = s_timelines.length;
    for (int32_t i = index; i + 1 < n; ++i) {
        s_timelines.items[i] = s_timelines.items[i + 1];
        s_names.items[i] = s_names.items[i + 1];
    }
    s_timelines.items[n - 1] = nullptr;
    s_names.items[n - 1] = nullptr;
    return true;
}

void TimeLine_FreeAll()
{
    for (int32_t i = 0; i < s_names.length; ++i) FreeName(i);
    s_names.Resize(0);
    s_timelines.SetLength(0);
}

void TimeLine_Free()
{
    TimeLine_FreeAll();
}
