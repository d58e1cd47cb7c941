#include "framework/window/StatusBar.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QResizeEvent>
#include <QStatusBar>
#include <functional>

#include "framework/core/CmdUI.h"
#include "framework/qt/QtSupport.h"
#include "framework/window/FrameWnd.h"
#include "framework/core/Resources.h"

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

}  // namespace

CStatusBar::CStatusBar() = default;
CStatusBar::~CStatusBar() = default;

bool CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    auto* window =
        pParentWnd != nullptr ? qobject_cast<QMainWindow*>(pParentWnd->GetWidget()) : nullptr;
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

bool CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
    QWidget* bar = GetWidget();
    if (bar == nullptr) {
        return false;
    }
    for (const Pane& pane : m_panes) {
        delete pane.label;
    }
    m_panes.clear();
    for (int i = 0; i < nIDCount; ++i) {
        const UINT id = lpIDArray[i];
        std::string text;
        if (!AfxLoadString(id, text)) {
            return false;
        }
        auto* label = new QLabel(FromBytes(text), bar);
        label->setObjectName(QString("Pane%1").arg(id));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setIndent(2);
        label->show();
        const int cx = label->fontMetrics().horizontalAdvance(label->text());
        m_panes.push_back({id, SBPS_NORMAL, cx, label});
        if (m_pDockSite != nullptr) {
            m_pDockSite->BindCommandUI(id, [label](const CCmdUI& ui) {
                if (ui.m_text) {
                    label->setText(FromBytes(*ui.m_text));
                }
            });
        }
    }
    LayoutPanes();
    return true;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth) {
    if (nIndex < 0 || nIndex >= GetCount()) {
        return;
    }
    Pane& pane = m_panes[static_cast<std::size_t>(nIndex)];
    pane.id = nID;
    pane.style = nStyle;
    pane.cx = cxWidth < 0 ? 0 : cxWidth;
    LayoutPanes();
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const {
    if (nIndex < 0 || nIndex >= GetCount()) {
        return;
    }
    const Pane& pane = m_panes[static_cast<std::size_t>(nIndex)];
    nID = pane.id;
    nStyle = pane.style;
    cxWidth = pane.cx;
}

std::string CStatusBar::GetPaneText(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount()) {
        return {};
    }
    auto* label = static_cast<QLabel*>(m_panes[static_cast<std::size_t>(nIndex)].label);
    const QByteArray bytes = label->text().toLocal8Bit();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

bool CStatusBar::SetPaneText(int nIndex, const std::string& text) {
    if (nIndex < 0 || nIndex >= GetCount()) {
        return false;
    }
    static_cast<QLabel*>(m_panes[static_cast<std::size_t>(nIndex)].label)->setText(FromBytes(text));
    return true;
}

void CStatusBar::LayoutPanes() {
    QWidget* bar = GetWidget();
    if (bar == nullptr) {
        return;
    }
    int x = 0;
    const int cy = bar->height() - 2;
    for (const Pane& pane : m_panes) {
        pane.label->setGeometry(x, 1, pane.cx, cy > 0 ? cy : 0);
        x += pane.cx;
    }
}
