#include "framework/core/Object.h"

const CRuntimeClass CObject::runtimeClass{"CObject", nullptr, nullptr};

std::unique_ptr<CObject> CRuntimeClass::CreateObject() const {
    return m_pfnCreateObject != nullptr ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBase) const {
    for (const CRuntimeClass* p = this; p != nullptr; p = p->m_pBaseClass) {
        if (p == pBase) {
            return true;
        }
    }
    return false;
}
