#pragma once

#include <string>
#include <string_view>

#include "framework/window/Wnd.h"

struct DialogDef;

// What DoDataExchange is given: the direction, and the dialog whose controls take part.
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, bool bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    bool m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// A modal dialog box laid out from a dialog resource. The OK button (identifier 1) ends it with
// IDOK, Cancel (2) and the window's close button with IDCANCEL.
class CDialog : public CWnd {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // IDOK or IDCANCEL; -1 when the dialog resource is missing.
    virtual int DoModal();
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    bool UpdateData(bool bSaveAndValidate = true);

    UINT GetTemplateId() const { return m_nIDTemplate; }
    // The control with identifier nID, for the framework and its tests; null when absent.
    HWND GetDlgItem(UINT nID) const;

    // The controls' values, for DoDataExchange, while the dialog runs. The text of an edit
    // control, in UTF-8; a check box's or a radio button's check; of the radio buttons nFirst to
    // nLast, the one checked (0 when none is), and checking one of them clears the others. A
    // missing control reads as empty or unchecked, and writing to it does nothing.
    std::string GetDlgItemText(UINT nID) const;
    void SetDlgItemText(UINT nID, std::string_view text);
    bool IsDlgButtonChecked(UINT nID) const;
    void CheckDlgButton(UINT nID, bool bCheck);
    UINT GetCheckedRadioButton(UINT nFirst, UINT nLast) const;
    void CheckRadioButton(UINT nFirst, UINT nLast, UINT nCheck);

protected:
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    // The platform's half of DoModal: the dialog laid out from def, run until it ends.
    int RunModal(const DialogDef& def);
};
