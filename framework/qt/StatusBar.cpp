// The Qt half of CStatusBar: a QStatusBar holding one label per pane, placed by hand.
#include "framework/window/StatusBar.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QResizeEvent>
#include <QStatusBar>
#include <functional>
#include <string>
#include <vector>

#include "framework/qt/QtSupport.h"

namespace {

// The panes are placed by hand at their exact widths: a layout would let their widths push the
// frame's minimum size up, and a half-width pane pair must never stop the window shrinking.
class StatusBarWidget : public QStatusBar {
public:
    explicit StatusBarWidget(QWidget* parent) : QStatusBar(parent) { setSizeGripEnabled(false); }
    std::function<void()> relayout;

    QSize sizeHint() const override { return {0, fontMetrics().height() + 8}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QStatusBar::resizeEvent(event);
        if (relayout) {
            relayout();
        }
    }
};

// Labels named after their index, so that the bar finds them again in order.
QLabel* PaneLabel(QWidget* bar, int nIndex) {
    return bar->findChild<QLabel*>(QString("Pane%1").arg(nIndex), Qt::FindDirectChildrenOnly);
}

}  // namespace

bool CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    auto* window =
        pParentWnd != nullptr ? qobject_cast<QMainWindow*>(pParentWnd->GetSafeHwnd()) : nullptr;
    auto* bar = new StatusBarWidget(window);
    bar->setObjectName(QString("StatusBar%1").arg(nID));
    bar->relayout = [this] { LayoutPanes(); };
    Attach(bar);
    InitBar(pParentWnd, dwStyle, nID);
    if (window != nullptr) {
        window->setStatusBar(bar);
    }
    bar->setVisible((dwStyle & 0x10000000) != 0);  // WS_VISIBLE
    return true;
}

void CStatusBar::CreatePanes(const std::vector<std::string>& texts) {
    QWidget* bar = GetSafeHwnd();
    for (QLabel* old : bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        delete old;
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto* label = new QLabel(FromBytes(texts[i]), bar);
        label->setObjectName(QString("Pane%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setIndent(2);
        label->show();
        m_panes[i].cx = label->fontMetrics().horizontalAdvance(label->text());
    }
}

std::string CStatusBar::GetPaneText(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount()) {
        return {};
    }
    return ToBytes(PaneLabel(GetSafeHwnd(), nIndex)->text());
}

bool CStatusBar::SetPaneText(int nIndex, const std::string& text) {
    if (nIndex < 0 || nIndex >= GetCount()) {
        return false;
    }
    PaneLabel(GetSafeHwnd(), nIndex)->setText(FromBytes(text));
    return true;
}

void CStatusBar::LayoutPanes() {
    QWidget* bar = GetSafeHwnd();
    if (bar == nullptr) {
        return;
    }
    int x = 0;
    const int cy = bar->height() - 2;
    for (int i = 0; i < GetCount(); ++i) {
        const int cx = m_panes[static_cast<std::size_t>(i)].cx;
        PaneLabel(bar, i)->setGeometry(x, 1, cx, cy > 0 ? cy : 0);
        x += cx;
    }
}
