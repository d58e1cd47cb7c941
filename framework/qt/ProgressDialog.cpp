// The Qt half of the progress dialog: a dialog resource's widgets, polled by a timer.
#include "framework/dialog/ProgressDialog.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include "framework/core/ResourceTypes.h"
#include "framework/qt/DialogLayout.h"
#include "framework/qt/ModalDialog.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/WinApp.h"

namespace {

// Cancel, Esc and the close button ask the work to stop; the dialog closes once it has.
class CProgressWindow : public QDialog {
public:
    CProgressWindow(QWidget* parent, CProgressDialog& owner) : QDialog(parent), m_owner(owner) {}

    void reject() override {
        m_owner.Cancel();
        if (QWidget* cancel = dialog_layout::FindControl(this, IDCANCEL)) {
            cancel->setEnabled(false);
        }
    }

private:
    CProgressDialog& m_owner;
};

// The bar's steps: a range of 64-bit bytes in the widget's int.
constexpr int kBarSteps = 1000;

void ShowStatus(const CProgressDialog::CStatus& status, QLabel* text, QProgressBar* bar) {
    if (text != nullptr) {
        text->setText(QString::fromUtf8(status.text));
    }
    if (bar == nullptr) {
        return;
    }
    if (status.range == 0) {
        bar->setRange(0, 0);  // to and fro
        return;
    }
    bar->setRange(0, kBarSteps);
    const std::uint64_t pos = status.pos < status.range ? status.pos : status.range;
    bar->setValue(static_cast<int>(pos * kBarSteps / status.range));
}

}  // namespace

void CProgressDialog::RunModal(const DialogDef& def) {
    CWnd* pParent = m_pParentWnd;
    if (pParent == nullptr && AfxGetApp() != nullptr) {
        pParent = AfxGetApp()->m_pMainWnd;
    }
    CProgressWindow dialog(pParent != nullptr ? pParent->GetSafeHwnd() : nullptr, *this);
    dialog.setWindowTitle(QString::fromUtf8(def.caption));
    dialog_layout::CreateControls(&dialog, def);
    AfxSetDialogFrame(dialog);
    auto* text = qobject_cast<QLabel*>(dialog_layout::FindControl(&dialog, m_nTextId));
    auto* bar = qobject_cast<QProgressBar*>(dialog_layout::FindControl(&dialog, m_nBarId));
    ShowStatus(GetStatus(), text, bar);

    QTimer poll;
    poll.setInterval(kPollInterval);
    QObject::connect(&poll, &QTimer::timeout, &dialog, [this, &dialog, text, bar] {
        if (IsWorkDone()) {
            dialog.done(QDialog::Accepted);
        } else {
            ShowStatus(GetStatus(), text, bar);
        }
    });
    poll.start();
    QTimer::singleShot(0, &dialog, [this] { OnShown(); });

    // The command's wait cursor must not hide the pointer from the person who may cancel.
    int nLifted = 0;
    while (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::restoreOverrideCursor();
        ++nLifted;
    }
    dialog.exec();
    for (int i = 0; i < nLifted; ++i) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
}
