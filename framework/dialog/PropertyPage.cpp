#include "framework/dialog/PropertyPage.h"

#include "framework/core/Resources.h"

const CRuntimeClass CPropertyPage::runtimeClass{"CPropertyPage", &CDialog::runtimeClass, nullptr};

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption)
    : CDialog(nIDTemplate), m_nIDCaption(nIDCaption) {}

CPropertyPage::~CPropertyPage() = default;

std::string CPropertyPage::GetCaption() const {
    std::string caption;
    if (m_nIDCaption != 0 && AfxLoadString(m_nIDCaption, caption)) {
        return caption;
    }
    const DialogDef* def = AfxFindDialog(m_nIDTemplate);
    return def != nullptr ? def->caption : std::string();
}

bool CPropertyPage::OnSetActive() {
    return UpdateData(false);
}
void CPropertyPage::OnOK() {}
void CPropertyPage::OnCancel() {}
