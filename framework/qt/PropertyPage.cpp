// The Qt half of CPropertyPage: the page's controls on a widget of the sheet.
#include "framework/dialog/PropertyPage.h"

#include <QWidget>

#include "framework/core/Resources.h"
#include "framework/qt/DialogLayout.h"

HWND CPropertyPage::CreatePage(HWND hSheet) {
    const DialogDef* def = AfxFindDialog(m_nIDTemplate);
    if (def == nullptr) {
        return nullptr;
    }
    auto* page = new QWidget(hSheet);
    dialog_layout::CreateControls(page, *def);
    // A page template is a disabled child until its sheet shows it.
    page->setEnabled(true);
    Attach(page);
    return page;
}
