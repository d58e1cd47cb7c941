#pragma once

#include "framework/dialog/PropertyPage.h"

// The one page of the options sheet, laid out for a tab width ("Display tabs as", a number,
// "Spaces"). It holds, shows and stores nothing: a tab is always four spaces.
class COptionsGeneral : public CPropertyPage {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    COptionsGeneral();
    ~COptionsGeneral() override;

    void DoDataExchange(CDataExchange* pDX) override;
};
