#pragma once

#include <memory>

class CObject;

// A class record: the class's name, its base's record and, for classes the framework creates by
// name (documents, views, frames, pages), a factory.
struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    std::unique_ptr<CObject> (*m_pfnCreateObject)();  // null: not dynamically creatable

    std::unique_ptr<CObject> CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* pBase) const;
};

template <class T>
std::unique_ptr<CObject> CreateRuntimeObject() {
    return std::make_unique<T>();
}

// Every class with a record declares `static const CRuntimeClass runtimeClass;` and overrides
// GetRuntimeClass; RUNTIME_CLASS names the record.
#define RUNTIME_CLASS(className) (&className::runtimeClass)

class CObject {
public:
    static const CRuntimeClass runtimeClass;

    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &runtimeClass; }
    bool IsKindOf(const CRuntimeClass* pClass) const {
        return GetRuntimeClass()->IsDerivedFrom(pClass);
    }
};
