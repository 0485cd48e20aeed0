#include "platform/afx/object.h"

CObject* CRuntimeClass::CreateObject() const {
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
    for (const CRuntimeClass* c = this; c; c = c->m_pfnGetBaseClass ? c->m_pfnGetBaseClass() : nullptr)
        if (c == pBaseClass)
            return TRUE;
    return FALSE;
}

CRuntimeClass* CObject::GetThisClass() {
    static CRuntimeClass rc{"CObject", static_cast<int>(sizeof(CObject)), nullptr, nullptr};
    return &rc;
}

CRuntimeClass* CObject::GetRuntimeClass() const {
    return GetThisClass();
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const {
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}
