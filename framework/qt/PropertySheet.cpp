// The Qt half of CPropertySheet: a dialog of tabs with OK, Cancel and Apply.
#include "framework/dialog/PropertySheet.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "framework/core/Resources.h"
#include "framework/dialog/Dialog.h"
#include "framework/dialog/PropertyPage.h"
#include "framework/qt/DialogLayout.h"
#include "framework/qt/ModalDialog.h"
#include "framework/registry/Registry.h"

namespace {

// The page's controls, laid out from its dialog resource on a widget of the sheet, which owns it.
QWidget* CreatePage(CPropertyPage& page, QWidget* sheet) {
    const DialogDef* def = AfxFindDialog(page.GetTemplateId());
    if (def == nullptr) {
        return nullptr;
    }
    auto* widget = new QWidget(sheet);
    dialog_layout::CreateControls(widget, *def);
    // A page template is a disabled child until its sheet shows it.
    widget->setEnabled(true);
    page.Attach(widget);
    return widget;
}

}  // namespace

int CPropertySheet::DoModal() {
    QWidget* parent = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr;
    auto* dialog = new QDialog(parent);
    dialog->setWindowTitle(QString::fromLocal8Bit(m_strCaption.c_str()));
    Attach(dialog);
    auto* layout = new QVBoxLayout(dialog);
    auto* tabs = new QTabWidget(dialog);
    tabs->setObjectName("tabs");
    layout->addWidget(tabs);
    for (CPropertyPage* page : m_pages) {
        if (QWidget* widget = CreatePage(*page, tabs)) {
            tabs->addTab(widget, QString::fromLocal8Bit(page->GetCaption().c_str()));
        }
    }
    if (m_nStartPage < static_cast<UINT>(tabs->count())) {
        tabs->setCurrentIndex(static_cast<int>(m_nStartPage));
    }
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, dialog);
    // Nothing has changed yet, so there is nothing to apply.
    buttons->button(QDialogButtonBox::Apply)->setEnabled(false);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    for (CPropertyPage* page : m_pages) {
        page->OnSetActive();
    }
    dialog->adjustSize();
    AfxSetDialogFrame(*dialog);
    const bool bOk = AfxRunModalDialog(*dialog) == QDialog::Accepted;
    const RegistryBatch batch;  // what the pages store goes together
    for (CPropertyPage* page : m_pages) {
        if (bOk) {
            page->UpdateData(true);
            page->OnOK();
        } else {
            page->OnCancel();
        }
    }
    return bOk ? IDOK : IDCANCEL;
}
