#pragma once
// Timelines: lists of moments, each a step number with an event (code from
// the game data) or a script (added at run time), the timeline table with its
// names, and the "TMLN" chunk reader.
#include <cstdint>

#include "Base/Array.h"

class CTimeLine {
public:
    CTimeLine();
    virtual ~CTimeLine();
    CTimeLine(const CTimeLine&) = delete;
    CTimeLine& operator=(const CTimeLine&) = delete;

    // Fills the timeline from its checked record.
    bool Load(const uint8_t* record);
    bool Prepare();
    // Script entries dropped, events deleted, both arrays freed.
    void Clear();
    int32_t GetMomentCount() const { return m_times.length; }
    // Entry k: a CEvent pointer (even) or 2 x script + 1 (odd); 0 outside the moments.
    intptr_t GetMomentEvent(int32_t k) const;
    int32_t GetMomentTime(int32_t k) const;
    int32_t FindMoment(int32_t time) const;
    // First moment at or after position; the moment count when none.
    int32_t FirstMomentFrom(double position) const;
    // Last moment at or before position; -1 when none.
    int32_t LastMomentUpTo(double position) const;
    // A new script moment, unless one exists at that time.
    void AddMoment(int32_t time, int32_t script);
    // The moment at that time runs the script from now on (its event is deleted).
    void SetMomentScript(int32_t time, int32_t script);
    void DeleteMoment(int32_t time);

    CTimeLine* m_self;
    cARRAY_STRUCTURE<intptr_t> m_entries;
    cARRAY_STRUCTURE<int32_t> m_times;
};

void TimeLine_Init();
bool TimeLine_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);
bool TimeLine_Prepare();
CTimeLine* TimeLine_Get(int32_t index);
bool TimeLine_Exists(int32_t index);
int32_t TimeLine_Count();
// "<undefined>" when there is no timeline at the index.
const char* TimeLine_Name(int index);
int TimeLine_Find(const char* name);
int32_t TimeLine_Add();
// The timelines after the deleted one move down an index.
bool TimeLine_Delete(int32_t index);
void TimeLine_FreeAll();
void TimeLine_Free();
