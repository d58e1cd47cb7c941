// The Qt half of the dialogs: dialog resources laid out as widgets, run through one modal path.
#include "framework/dialog/Dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "framework/core/Resources.h"
#include "framework/qt/DialogLayout.h"
#include "framework/qt/ModalDialog.h"
#include "framework/qt/QtSupport.h"

namespace {

ModalDialogHook& Hook() {
    static ModalDialogHook hook;
    return hook;
}

// An up-down control: two arrow buttons beside a buddy edit box. Its position is written into
// the buddy as a decimal number whenever it changes; the arrow keys in the buddy move it too.
class UpDownControl : public QWidget {
public:
    UpDownControl(QWidget* parent, QLineEdit* buddy, bool bArrowKeys)
        : QWidget(parent), m_pBuddy(buddy) {
        auto* up = new QToolButton(this);
        up->setArrowType(Qt::UpArrow);
        up->setObjectName("up");
        auto* down = new QToolButton(this);
        down->setArrowType(Qt::DownArrow);
        down->setObjectName("down");
        up->setAutoRepeat(true);
        down->setAutoRepeat(true);
        QObject::connect(up, &QToolButton::clicked, this, [this] { Step(1); });
        QObject::connect(down, &QToolButton::clicked, this, [this] { Step(-1); });
        if (bArrowKeys && buddy != nullptr) {
            buddy->installEventFilter(this);
        }
    }

    int Position() const { return m_nPos; }

protected:
    void resizeEvent(QResizeEvent*) override {
        const QList<QToolButton*> buttons = findChildren<QToolButton*>();
        const int half = height() / 2;
        for (QToolButton* button : buttons) {
            const bool bUp = button->objectName() == "up";
            button->setGeometry(0, bUp ? 0 : half, width(), bUp ? half : height() - half);
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_pBuddy && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                Step(key == Qt::Key_Up ? 1 : -1);
                return true;
            }
        }
        return QWidget::eventFilter(watched, event);
    }

private:
    // The platform leaves the range to the page; 0 to 100 serves a tab width.
    void Step(int delta) {
        const int pos = std::clamp(m_nPos + delta, 0, 100);
        if (pos == m_nPos) {
            return;
        }
        m_nPos = pos;
        if (m_pBuddy != nullptr) {
            m_pBuddy->setText(QString::number(m_nPos));
        }
    }

    QLineEdit* m_pBuddy;
    int m_nPos = 0;
};

// Dialog base units of the template font (8-point sans): 6 by 13 pixels per character.
constexpr int kBaseX = 6;
constexpr int kBaseY = 13;

}  // namespace

namespace dialog_layout {

int ToPixelsX(int dlu) {
    return (dlu * kBaseX + 2) / 4;
}
int ToPixelsY(int dlu) {
    return (dlu * kBaseY + 4) / 8;
}

QWidget* FindControl(const QWidget* parent, UINT nID) {
    return parent->findChild<QWidget*>(QString("ctrl%1").arg(nID), Qt::FindDirectChildrenOnly);
}

void CreateControls(QWidget* parent, const DialogDef& def) {
    QFont font(QString::fromUtf8(def.fontName));
    font.setPointSize(def.nPointSize);
    parent->setFont(font);
    parent->setFixedSize(ToPixelsX(def.cx), ToPixelsY(def.cy));
    QWidget* previous = nullptr;
    QButtonGroup* radios = nullptr;  // the radio buttons of the group being laid out
    for (const DialogItemDef& item : def.items) {
        const QString className = QString::fromUtf8(item.className);
        const QString text = QString::fromUtf8(item.text);
        QWidget* control = nullptr;
        if (className == "STATIC" && (item.style & 0x0F) == SS_ICON) {
            auto* label = new QLabel(parent);
            if (const IconDef* icon = AfxFindIcon(item.iconId)) {
                label->setPixmap(IconPixmap(*icon, 32));
            }
            control = label;
        } else if (className == "STATIC") {
            // Plain text: no mnemonic, no markup, spaces kept as written.
            auto* label = new QLabel(text, parent);
            label->setTextFormat(Qt::PlainText);
            control = label;
        } else if (className == "BUTTON" && (item.style & 0x0F) == BS_AUTOCHECKBOX) {
            control = new QCheckBox(text, parent);
        } else if (className == "BUTTON" && (item.style & 0x0F) == BS_AUTORADIOBUTTON) {
            // A group starts at a radio button marked WS_GROUP or after any other control; one
            // button of a group is checked at a time.
            if (radios == nullptr || (item.style & WS_GROUP) != 0 ||
                qobject_cast<QRadioButton*>(previous) == nullptr) {
                radios = new QButtonGroup(parent);
            }
            auto* radio = new QRadioButton(text, parent);
            radios->addButton(radio);
            control = radio;
        } else if (className == "BUTTON") {
            auto* button = new QPushButton(text, parent);
            button->setDefault((item.style & 0x0F) == BS_DEFPUSHBUTTON);
            button->setAutoDefault(false);
            if (auto* dialog = qobject_cast<QDialog*>(parent)) {
                if (item.id == IDOK) {
                    QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
                } else if (item.id == IDCANCEL) {
                    QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::reject);
                }
            }
            control = button;
        } else if (className == "EDIT") {
            auto* edit = new QLineEdit(text, parent);
            if ((item.style & ES_NUMBER) != 0) {
                edit->setValidator(
                    new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
            }
            edit->setFrame((item.style & WS_BORDER) != 0);
            control = edit;
        } else if (className == "msctls_progress32") {
            auto* bar = new QProgressBar(parent);
            bar->setTextVisible(false);
            control = bar;
        } else if (className == "msctls_updown32") {
            auto* buddy =
                (item.style & UDS_AUTOBUDDY) != 0 ? qobject_cast<QLineEdit*>(previous) : nullptr;
            control = new UpDownControl(parent, buddy, (item.style & UDS_ARROWKEYS) != 0);
            if (buddy != nullptr && (item.style & UDS_ALIGNRIGHT) != 0) {
                const QRect b = buddy->geometry();
                control->setGeometry(b.right() + 1, b.top(), ToPixelsX(item.cx), b.height());
            } else {
                control->setGeometry(ToPixelsX(item.x), ToPixelsY(item.y), ToPixelsX(item.cx),
                                     ToPixelsY(item.cy));
            }
        } else {
            continue;
        }
        if (className != "msctls_updown32") {
            control->setGeometry(ToPixelsX(item.x), ToPixelsY(item.y), ToPixelsX(item.cx),
                                 ToPixelsY(item.cy));
        }
        if (item.id != 0xFFFF) {
            control->setObjectName(QString("ctrl%1").arg(item.id));
        }
        control->setEnabled((item.style & WS_DISABLED) == 0);
        control->setVisible((item.style & WS_VISIBLE) != 0);
        previous = control;
    }
}

}  // namespace dialog_layout

ModalDialogHook SetModalDialogHook(ModalDialogHook hook) {
    ModalDialogHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

int AfxRunModalDialog(QDialog& dialog) {
    // A command's wait cursor must not hide the pointer from the person answering the dialog.
    int nLifted = 0;
    while (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::restoreOverrideCursor();
        ++nLifted;
    }
    const int result = Hook() ? Hook()(&dialog) : dialog.exec();
    for (int i = 0; i < nLifted; ++i) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    return result;
}

namespace {

// Shows a dialog again whenever the window manager minimises it while its owner stays.
class KeepShown : public QObject {
public:
    explicit KeepShown(QDialog* dialog) : QObject(dialog), m_pDialog(dialog) {
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_pDialog && event->type() == QEvent::WindowStateChange &&
            m_pDialog->isMinimized() && !OwnerIsMinimised()) {
            QMetaObject::invokeMethod(
                m_pDialog,
                [dialog = m_pDialog] {
                    dialog->setWindowState(dialog->windowState() & ~Qt::WindowMinimized);
                    dialog->show();
                    dialog->activateWindow();
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool OwnerIsMinimised() const {
        const QWindow* handle = m_pDialog->windowHandle();
        const QWindow* owner = handle != nullptr ? handle->transientParent() : nullptr;
        return owner != nullptr && (owner->windowStates() & Qt::WindowMinimized) != 0;
    }

    QDialog* m_pDialog;
};

}  // namespace

void AfxSetDialogFrame(QDialog& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog.setFixedSize(dialog.sizeHint().expandedTo(dialog.size()));
    new KeepShown(&dialog);
}

int CDialog::RunModal(const DialogDef& def) {
    QWidget* parent = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr;
    auto* dialog = new QDialog(parent);
    dialog->setWindowTitle(QString::fromUtf8(def.caption));
    dialog_layout::CreateControls(dialog, def);
    // A modal frame with a system menu, at the template's size.
    AfxSetDialogFrame(*dialog);
    Attach(dialog);
    if (!OnInitDialog()) {
        return IDCANCEL;
    }
    const int result = AfxRunModalDialog(*dialog) == QDialog::Accepted ? IDOK : IDCANCEL;
    if (result == IDOK) {
        UpdateData(true);
    }
    return result;
}

HWND CDialog::GetDlgItem(UINT nID) const {
    return GetSafeHwnd() != nullptr ? dialog_layout::FindControl(GetSafeHwnd(), nID) : nullptr;
}

std::string CDialog::GetDlgItemText(UINT nID) const {
    QWidget* control = GetDlgItem(nID);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        return edit->text().toStdString();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        return button->text().toStdString();
    }
    return {};
}

void CDialog::SetDlgItemText(UINT nID, std::string_view text) {
    const QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    QWidget* control = GetDlgItem(nID);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(value);
        edit->selectAll();
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(value);
    }
}

bool CDialog::IsDlgButtonChecked(UINT nID) const {
    auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(nID));
    return button != nullptr && button->isCheckable() && button->isChecked();
}

void CDialog::CheckDlgButton(UINT nID, bool bCheck) {
    auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(nID));
    if (button == nullptr || !button->isCheckable()) {
        return;
    }
    // A group keeps one button checked: clearing the checked one means leaving the group.
    QButtonGroup* group = button->group();
    const bool bExclusive = group != nullptr && group->exclusive();
    if (bExclusive && !bCheck) {
        group->setExclusive(false);
    }
    button->setChecked(bCheck);
    if (bExclusive && !bCheck) {
        group->setExclusive(true);
    }
}
