#include "framework/dialog/Dialog.h"

#include "framework/core/Resources.h"
#include "framework/registry/Registry.h"

const CRuntimeClass CDialog::runtimeClass{"CDialog", &CWnd::runtimeClass, nullptr};

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

int CDialog::DoModal() {
    const DialogDef* def = AfxFindDialog(m_nIDTemplate);
    return def != nullptr ? RunModal(*def) : -1;
}

bool CDialog::OnInitDialog() {
    return UpdateData(false);
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

bool CDialog::UpdateData(bool bSaveAndValidate) {
    const RegistryBatch batch;  // the values a dialog stores go together
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return true;
}

UINT CDialog::GetCheckedRadioButton(UINT nFirst, UINT nLast) const {
    for (UINT id = nFirst; id <= nLast; ++id) {
        if (IsDlgButtonChecked(id)) {
            return id;
        }
    }
    return 0;
}

void CDialog::CheckRadioButton(UINT nFirst, UINT nLast, UINT nCheck) {
    for (UINT id = nFirst; id <= nLast; ++id) {
        CheckDlgButton(id, id == nCheck);
    }
}
