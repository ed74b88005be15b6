// Stand-ins: see JS_Accessor.h. The pair has its two slots but no
// function objects in them yet.
#include "Code/JS_Accessor.h"

#include "Code/ObjectBase.h"

KVObjectBase* JS_MakeAccessorObject(BuiltinGetter, BuiltinSetter)
{
    KVObjectBase* pair = KVObjectBase::Alloc(2, VALUE_UNSET, true);
    pair->m_kind = OBJECT_KIND_ACCESSOR;
    return pair;
}
