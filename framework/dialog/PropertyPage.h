#pragma once

#include <string>

#include "framework/dialog/Dialog.h"

// One page of a property sheet, laid out from a dialog resource. Its tab shows the caption
// string nIDCaption, or the template's own caption when nIDCaption is 0.
class CPropertyPage : public CDialog {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    ~CPropertyPage() override;

    // The tab's text.
    std::string GetCaption() const;

    virtual bool OnSetActive();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    UINT m_nIDCaption;
};
