#include "framework/window/SplitterWnd.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QWidget>
#include <algorithm>

#include "framework/draw/DC.h"
#include "framework/core/DocTemplate.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/ScrollBar.h"
#include "framework/window/View.h"
#include "framework/core/AfxRes.h"

const CRuntimeClass CSplitterWnd::runtimeClass{"CSplitterWnd", &CWnd::runtimeClass, nullptr};

namespace {

constexpr int kSplitterBar = 6;  // width of the bar between two columns
constexpr int kKeyboardStep = 8;

// The splitter's window: paints the splitter bars and the corner box, and turns mouse and keys
// into bar tracking. The panes and the scroll bars are its children.
class SplitterWidget : public QWidget {
public:
    SplitterWidget(CSplitterWnd* pSplitter, QWidget* parent)
        : QWidget(parent), m_pSplitter(pSplitter), m_pTracker(new QWidget(this)) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
        setFocusPolicy(Qt::NoFocus);
        m_pTracker->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_pTracker->setAutoFillBackground(true);
        QPalette pal = m_pTracker->palette();
        pal.setColor(QPalette::Window, palette().color(QPalette::Shadow));
        m_pTracker->setPalette(pal);
        m_pTracker->hide();
    }

    void ShowTracker(bool bShow) {
        if (bShow) {
            m_pTracker->setGeometry(m_pSplitter->TrackerLeft(), 0, m_pSplitter->SplitterBarWidth(),
                                    height());
            m_pTracker->raise();
        }
        m_pTracker->setVisible(bShow);
    }
    void TakeKeyboard() {
        m_pFocusBefore = QApplication::focusWidget();
        setFocus(Qt::OtherFocusReason);
    }
    void GiveKeyboardBack() {
        QPointer<QWidget> before = m_pFocusBefore;
        m_pFocusBefore = nullptr;
        if (before != nullptr) {
            before->setFocus(Qt::OtherFocusReason);
        }
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        CDC dc(&painter);
        if (!m_pSplitter->OnEraseBkgnd(&dc)) {
            painter.fillRect(rect(), palette().color(QPalette::Window));
        }
        // The splitter bars and the corner box belong to the splitter: nothing else covers them.
        const QColor face = palette().color(QPalette::Button);
        for (int col = 0; col + 1 < m_pSplitter->GetColumnCount(); ++col) {
            const QRect bar(m_pSplitter->SplitterBarLeft(col), 0, m_pSplitter->SplitterBarWidth(),
                            height());
            painter.fillRect(bar, face);
            painter.setPen(palette().color(QPalette::Light));
            painter.drawLine(bar.topLeft(), bar.bottomLeft());
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawLine(bar.topRight(), bar.bottomRight());
        }
        const CRect corner = m_pSplitter->CornerBox();
        if (corner.Width() > 0 && corner.Height() > 0) {
            painter.fillRect(QRect(corner.left, corner.top, corner.Width(), corner.Height()), face);
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        if (m_pSplitter->IsTracking()) {
            m_pSplitter->StopTracking(true);  // a click ends the keyboard split, keeping it
        } else if (event->button() == Qt::LeftButton) {
            const int col = m_pSplitter->HitSplitterBar(at.x(), at.y());
            if (col >= 0) {
                m_pSplitter->StartTracking(col, at.x() - m_pSplitter->SplitterBarLeft(col), false);
            }
        }
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        if (m_pSplitter->IsTracking()) {
            m_pSplitter->TrackTo(at.x());
        } else {
            setCursor(m_pSplitter->HitSplitterBar(at.x(), at.y()) >= 0 ? Qt::SplitHCursor
                                                                       : Qt::ArrowCursor);
        }
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (m_pSplitter->IsTracking() && !m_pSplitter->IsKeyboardTracking() &&
            event->button() == Qt::LeftButton) {
            m_pSplitter->StopTracking(true);
        }
        event->accept();
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (!m_pSplitter->IsTracking()) {
            QWidget::keyPressEvent(event);
            return;
        }
        const int step = (event->modifiers() & Qt::ControlModifier) != 0 ? 1 : kKeyboardStep;
        switch (event->key()) {
            case Qt::Key_Left:
                m_pSplitter->TrackBy(-step);
                break;
            case Qt::Key_Right:
                m_pSplitter->TrackBy(step);
                break;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                m_pSplitter->StopTracking(true);
                break;
            case Qt::Key_Escape:
                m_pSplitter->StopTracking(false);
                break;
            default:
                break;
        }
        event->accept();
    }
    void focusOutEvent(QFocusEvent* event) override {
        // Going elsewhere during the keyboard split keeps the old split.
        if (m_pSplitter->IsKeyboardTracking()) {
            m_pSplitter->StopTracking(false);
        }
        QWidget::focusOutEvent(event);
    }

private:
    CSplitterWnd* m_pSplitter;
    QWidget* m_pTracker;  // child: goes with the widget
    QPointer<QWidget> m_pFocusBefore;
};

SplitterWidget* WidgetOf(const CSplitterWnd* pSplitter) {
    return static_cast<SplitterWidget*>(pSplitter->GetWidget());
}

}  // namespace

CSplitterWnd::CSplitterWnd() = default;

CSplitterWnd::~CSplitterWnd() {
    if (m_pFrame != nullptr) {
        if (CView* active = m_pFrame->GetActiveView();
            active != nullptr && IsChildPane(active, nullptr, nullptr)) {
            m_pFrame->SetActiveView(nullptr, false);
        }
    }
    // The panes and bars go before the window that holds theirs.
    m_panes.clear();
    m_horzBars.clear();
    m_pVertBar.reset();
}

bool CSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle,
                                UINT /*nID*/) {
    if (IsWindow() || nRows != 1 || nCols < 1 || nCols > 16) {
        return false;
    }
    m_pFrame = dynamic_cast<CFrameWnd*>(pParentWnd);
    m_nRows = nRows;
    m_columns.assign(static_cast<std::size_t>(nCols), Column{});
    m_panes.resize(static_cast<std::size_t>(nCols));
    m_barLeft.assign(static_cast<std::size_t>(nCols - 1), 0);

    QWidget* parentWidget = pParentWnd != nullptr ? pParentWnd->GetWidget() : nullptr;
    auto* widget = new SplitterWidget(this, parentWidget);
    if (parentWidget != nullptr) {
        widget->resize(parentWidget->size());
    }
    Attach(widget);
    if ((dwStyle & kStyleVScroll) != 0) {
        m_pVertBar = std::make_unique<CScrollBar>();
        m_pVertBar->Create(true, this, this);
    }
    if ((dwStyle & kStyleHScroll) != 0) {
        for (int col = 0; col < nCols; ++col) {
            m_horzBars.push_back(std::make_unique<CScrollBar>());
            m_horzBars.back()->Create(false, this, this);
        }
    }
    if (parentWidget != nullptr && (dwStyle & kStyleVisible) != 0) {
        widget->show();
    }
    return true;
}

bool CSplitterWnd::CreateView(int row, int col, const CRuntimeClass* pViewClass, CSize sizeInit,
                              CCreateContext* pContext) {
    if (!IsWindow() || row != 0 || col < 0 || col >= GetColumnCount() || pViewClass == nullptr ||
        m_panes[static_cast<std::size_t>(col)] != nullptr) {
        return false;
    }
    std::unique_ptr<CObject> object = pViewClass->CreateObject();
    auto* view = dynamic_cast<CView*>(object.get());
    if (view == nullptr) {
        return false;
    }
    if (pContext != nullptr && pContext->m_pCurrentFrame != nullptr && m_pFrame == nullptr) {
        m_pFrame = pContext->m_pCurrentFrame;
    }
    const CRect rect(0, 0, sizeInit.cx, sizeInit.cy);
    if (!view->Create(this, rect, AFX_IDW_PANE_FIRST + static_cast<UINT>(row * 16 + col),
                      pContext)) {
        return false;
    }
    m_columns[static_cast<std::size_t>(col)].nIdeal = sizeInit.cx;
    m_panes[static_cast<std::size_t>(col)] = std::move(object);
    if (m_pVertBar) {
        m_pVertBar->GetWidget()->raise();
    }
    return true;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const {
    if (row != 0 || col < 0 || col >= GetColumnCount()) {
        return nullptr;
    }
    return dynamic_cast<CWnd*>(m_panes[static_cast<std::size_t>(col)].get());
}

bool CSplitterWnd::IsChildPane(const CWnd* pWnd, int* pRow, int* pCol) const {
    for (int col = 0; col < GetColumnCount(); ++col) {
        if (pWnd != nullptr && GetPane(0, col) == pWnd) {
            if (pRow != nullptr) {
                *pRow = 0;
            }
            if (pCol != nullptr) {
                *pCol = col;
            }
            return true;
        }
    }
    return false;
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin) {
    if (col >= 0 && col < GetColumnCount()) {
        m_columns[static_cast<std::size_t>(col)].nIdeal = std::max(cxIdeal, 0);
        m_columns[static_cast<std::size_t>(col)].nMin = std::max(cxMin, 0);
    }
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const {
    cxCur = 0;
    cxMin = 0;
    if (col >= 0 && col < GetColumnCount()) {
        cxCur = m_columns[static_cast<std::size_t>(col)].nCur;
        cxMin = m_columns[static_cast<std::size_t>(col)].nMin;
    }
}

CScrollBar* CSplitterWnd::GetHorzScrollBar(int col) const {
    if (col < 0 || col >= static_cast<int>(m_horzBars.size())) {
        return nullptr;
    }
    return m_horzBars[static_cast<std::size_t>(col)].get();
}

CScrollBar* CSplitterWnd::GetPaneScrollBar(int nBar, const CWnd* pPane) const {
    int col = 0;
    if (!IsChildPane(pPane, nullptr, &col)) {
        return nullptr;
    }
    return nBar == SB_VERT ? m_pVertBar.get() : GetHorzScrollBar(col);
}

int CSplitterWnd::SplitterBarWidth() const {
    return kSplitterBar;
}

int CSplitterWnd::SplitterBarLeft(int col) const {
    return col >= 0 && col < static_cast<int>(m_barLeft.size())
               ? m_barLeft[static_cast<std::size_t>(col)]
               : 0;
}

int CSplitterWnd::PaneAreaWidth() const {
    const QWidget* widget = GetWidget();
    if (widget == nullptr) {
        return 0;
    }
    const int extent = widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return std::max(0, widget->width() - (m_pVertBar ? extent : 0));
}

void CSplitterWnd::RecalcLayout() {
    QWidget* widget = GetWidget();
    if (widget == nullptr || m_columns.empty()) {
        return;
    }
    const int extent = widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int vertBar = m_pVertBar ? extent : 0;
    const int horzBar = m_horzBars.empty() ? 0 : extent;
    const int paneWidth = PaneAreaWidth();
    const int paneHeight = std::max(0, widget->height() - horzBar);
    const int nCols = GetColumnCount();

    // Every column but the last gets its ideal width, or nothing when that is below its
    // minimum; the last takes what remains, and gives it to its left neighbour when that is
    // below its own minimum.
    int avail = std::max(0, paneWidth - kSplitterBar * (nCols - 1));
    for (int col = 0; col + 1 < nCols; ++col) {
        Column& c = m_columns[static_cast<std::size_t>(col)];
        c.nCur = c.nIdeal < c.nMin ? 0 : std::min(c.nIdeal, avail);
        avail -= c.nCur;
    }
    Column& last = m_columns.back();
    last.nCur = avail;
    if (nCols > 1 && last.nCur < last.nMin) {
        int col = nCols - 2;
        while (col > 0 && m_columns[static_cast<std::size_t>(col)].nCur == 0) {
            --col;
        }
        m_columns[static_cast<std::size_t>(col)].nCur += last.nCur;
        last.nCur = 0;
    }

    int x = 0;
    for (int col = 0; col < nCols; ++col) {
        const int width = m_columns[static_cast<std::size_t>(col)].nCur;
        if (CWnd* pane = GetPane(0, col); pane != nullptr && pane->GetWidget() != nullptr) {
            pane->GetWidget()->setGeometry(x, 0, width, paneHeight);
            pane->GetWidget()->setVisible(width > 0);
        }
        if (CScrollBar* bar = GetHorzScrollBar(col)) {
            bar->GetWidget()->setGeometry(x, paneHeight, width, horzBar);
            bar->GetWidget()->setVisible(width > 0);
        }
        x += width;
        if (col + 1 < nCols) {
            m_barLeft[static_cast<std::size_t>(col)] = x;
            x += kSplitterBar;
        }
    }
    if (m_pVertBar) {
        m_pVertBar->GetWidget()->setGeometry(paneWidth, 0, vertBar, paneHeight);
        m_pVertBar->GetWidget()->setVisible(true);
    }
    m_cornerBox = vertBar > 0 && horzBar > 0
                      ? CRect(paneWidth, paneHeight, paneWidth + vertBar, paneHeight + horzBar)
                      : CRect();
    widget->update();
}

void CSplitterWnd::OnSize(UINT nType, int cx, int cy) {
    if (nType != SIZE_MINIMIZED && cx > 0 && cy > 0) {
        RecalcLayout();
    }
}

void CSplitterWnd::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    for (int col = 0; col < GetColumnCount(); ++col) {
        if (CWnd* pane = GetPane(0, col)) {
            pane->OnVScroll(nSBCode, nPos, pScrollBar);
        }
    }
}

void CSplitterWnd::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    for (int col = 0; col < GetColumnCount(); ++col) {
        if (GetHorzScrollBar(col) == pScrollBar) {
            if (CWnd* pane = GetPane(0, col)) {
                pane->OnHScroll(nSBCode, nPos, pScrollBar);
            }
        }
    }
}

CView* CSplitterWnd::GetActivePane() const {
    if (m_pFrame != nullptr) {
        CView* active = m_pFrame->GetActiveView();
        if (IsChildPane(active, nullptr, nullptr)) {
            return active;
        }
    }
    const QWidget* focus = QApplication::focusWidget();
    for (int col = 0; col < GetColumnCount(); ++col) {
        CWnd* pane = GetPane(0, col);
        if (pane != nullptr && focus != nullptr && pane->GetWidget() == focus) {
            return dynamic_cast<CView*>(pane);
        }
    }
    return nullptr;
}

bool CSplitterWnd::CanActivateNext(bool /*bPrev*/) const {
    return GetColumnCount() > 1;
}

void CSplitterWnd::ActivateNext(bool bPrev) {
    const int nCols = GetColumnCount();
    if (nCols < 2) {
        return;
    }
    int col = 0;
    if (!IsChildPane(GetActivePane(), nullptr, &col)) {
        col = bPrev ? 0 : nCols - 1;  // no active pane: start from the first (or the last)
    }
    const int next = (col + (bPrev ? nCols - 1 : 1)) % nCols;
    auto* view = dynamic_cast<CView*>(GetPane(0, next));
    if (view == nullptr) {
        return;
    }
    if (m_pFrame != nullptr) {
        m_pFrame->SetActiveView(view);
    } else {
        view->SetFocus();
    }
}

int CSplitterWnd::HitSplitterBar(int x, int y) const {
    const QWidget* widget = GetWidget();
    if (widget == nullptr || y < 0 || y >= widget->height()) {
        return -1;
    }
    for (int col = 0; col + 1 < GetColumnCount(); ++col) {
        const int left = m_barLeft[static_cast<std::size_t>(col)];
        if (x >= left && x < left + kSplitterBar) {
            return col;
        }
    }
    return -1;
}

bool CSplitterWnd::DoKeyboardSplit() {
    if (!IsWindow() || GetColumnCount() < 2 || m_bTracking) {
        return false;
    }
    StartTracking(0, kSplitterBar / 2, true);
    return true;
}

void CSplitterWnd::StartTracking(int col, int xGrab, bool bKeyboard) {
    m_bTracking = true;
    m_bKeyboardTracking = bKeyboard;
    m_nTrackCol = col;
    m_nTrackGrab = xGrab;
    m_nTrackX = SplitterBarLeft(col);
    SplitterWidget* widget = WidgetOf(this);
    widget->ShowTracker(true);
    if (bKeyboard) {
        widget->TakeKeyboard();
    }
}

void CSplitterWnd::TrackTo(int x) {
    if (!m_bTracking) {
        return;
    }
    // The tracker stays between the left edge of its column and the pane area's right edge.
    int left = 0;
    for (int col = 0; col < m_nTrackCol; ++col) {
        left = m_barLeft[static_cast<std::size_t>(col)] + kSplitterBar;
    }
    m_nTrackX = std::clamp(x - m_nTrackGrab, left, std::max(left, PaneAreaWidth() - kSplitterBar));
    WidgetOf(this)->ShowTracker(true);
}

void CSplitterWnd::TrackBy(int dx) {
    TrackTo(m_nTrackX + m_nTrackGrab + dx);
}

void CSplitterWnd::StopTracking(bool bAccept) {
    if (!m_bTracking) {
        return;
    }
    const bool bKeyboard = m_bKeyboardTracking;
    m_bTracking = false;
    m_bKeyboardTracking = false;
    SplitterWidget* widget = WidgetOf(this);
    widget->ShowTracker(false);
    if (bAccept) {
        int left = 0;
        for (int col = 0; col < m_nTrackCol; ++col) {
            left = m_barLeft[static_cast<std::size_t>(col)] + kSplitterBar;
        }
        m_columns[static_cast<std::size_t>(m_nTrackCol)].nIdeal = m_nTrackX - left;
        RecalcLayout();
    }
    if (bKeyboard) {
        widget->GiveKeyboardBack();
    }
}
