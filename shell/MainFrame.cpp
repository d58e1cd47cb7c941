#include "shell/MainFrame.h"

#include <exception>

#include "display/TargetView.h"
#include "document/TessiverDoc.h"
#include "framework/window/DocTemplate.h"
#include "framework/window/MessageBox.h"
#include "framework/window/View.h"
#include "resources/Resource.h"
#include "shell/SavedPlacement.h"

namespace {
// The status bar's panes, left to right.
constexpr UINT indicators[] = {ID_INDICATOR_SOURCE, ID_INDICATOR_TARGET};

constexpr const char* kWindowKey = "software\\Corvessa\\Tessiver\\Window";
constexpr const char* kBarStateProfile = "Window\\Toolbar";

constexpr DWORD kToolBarStyle = 0x50002800;    // child, visible, CBRS_TOP
constexpr DWORD kStatusBarStyle = 0x50008200;  // child, visible, CBRS_BOTTOM
constexpr DWORD kSplitterStyle = 0x50300000;   // child, visible, both scroll bars
}  // namespace

const CRuntimeClass CMainFrame::runtimeClass{"CMainFrame", &CFrameWnd::runtimeClass,
                                             &CreateRuntimeObject<CMainFrame>};

CMainFrame::CMainFrame() = default;
CMainFrame::~CMainFrame() = default;

bool CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
    // The caption stays the program's title whatever document is open.
    cs.style &= ~FWS_ADDTOTITLE;
    return CFrameWnd::PreCreateWindow(cs);
}

bool CMainFrame::OnCreateClient(CREATESTRUCT* /*lpcs*/, CCreateContext* pContext) {
    if (!m_wndSplitter.CreateStatic(this, 1, 2, kSplitterStyle, AFX_IDW_PANE_FIRST)) {
        return false;
    }
    CRect rect;
    GetClientRect(&rect);
    const CSize size(rect.right / 2, rect.bottom);
    if (!m_wndSplitter.CreateView(0, 0, pContext->m_pNewViewClass, size, pContext)) {
        return false;
    }
    if (!m_wndSplitter.CreateView(0, 1, RUNTIME_CLASS(CTargetView), size, pContext)) {
        return false;
    }
    SetActiveView(static_cast<CView*>(m_wndSplitter.GetPane(0, 1)), true);
    return true;
}

int CMainFrame::OnCreate(CREATESTRUCT* lpCreateStruct) {
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1) {
        return -1;
    }
    if (!m_wndToolBar.Create(this, kToolBarStyle, AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINFRAME)) {
        return -1;
    }
    if (!m_wndStatusBar.Create(this, kStatusBarStyle, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(indicators, 2)) {
        return -1;
    }
    m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY |
                             CBRS_SIZE_DYNAMIC);
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);
    // Always on: the panes and the bars pass what is dropped on them to the frame.
    DragAcceptFiles();
    return 0;
}

void CMainFrame::OnSize(UINT nType, int cx, int cy) {
    CFrameWnd::OnSize(nType, cx, cy);
    if (m_wndStatusBar.IsWindow()) {
        m_wndStatusBar.SetPaneInfo(0, ID_INDICATOR_SOURCE, SBPS_NORMAL, cx / 2);
        m_wndStatusBar.SetPaneInfo(1, ID_INDICATOR_TARGET, SBPS_NORMAL, cx / 2);
    }
}

void CMainFrame::OnShowWindow(bool bShow, UINT nStatus) {
    if (!s_bFirstShow) {
        CFrameWnd::OnShowWindow(bShow, nStatus);
        return;
    }
    s_bFirstShow = 0;
    LoadWindowPlacement(this, kWindowKey);
    CFrameWnd::OnShowWindow(bShow, nStatus);
    // The splitter lays its panes out again from the loop, and takes its columns from this size.
    CRect rect;
    GetClientRect(&rect);
    const int cx = rect.right & 0xFFFF;
    const int cy = rect.bottom & 0xFFFF;
    PostCall(&m_wndSplitter, [this, cx, cy] { m_wndSplitter.OnSize(SIZE_RESTORED, cx, cy); });
}

void CMainFrame::OnClose() {
    // Stored at every close request, before the framework decides whether the close goes ahead.
    SaveBarState(kBarStateProfile);
    SaveWindowPlacement(this, kWindowKey);
    CFrameWnd::OnClose();
}

void CMainFrame::OnDropFiles(const CDropFiles& drop) {
    auto* doc = dynamic_cast<CTessiverDoc*>(GetActiveDocument());
    if (doc == nullptr) {
        return;
    }
    DropSide side = DropSide::window;
    if (drop.pWndAt != nullptr && drop.pWndAt == m_wndSplitter.GetPane(0, 0)) {
        side = DropSide::source;
    } else if (drop.pWndAt != nullptr && drop.pWndAt == m_wndSplitter.GetPane(0, 1)) {
        side = DropSide::target;
    }
    // As a command runs: what the comparison could not finish is reported once.
    try {
        doc->DropFiles(drop.items, side);
    } catch (...) {
        ReportCommandException(std::current_exception());
    }
}
