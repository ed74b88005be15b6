#pragma once
// Stand-in for the object base until it is built: only what the value
// operations touch (the deleting destructor of owned pointers and the visit
// mark of the text form).
#include <cstdint>

class CInstanceBase {
public:
    virtual ~CInstanceBase() = default;
};

class KVObjectBase : public CInstanceBase {
public:
    uint32_t m_visitMark = 0;  // cycle guard of the text form
};

class CInstance;
