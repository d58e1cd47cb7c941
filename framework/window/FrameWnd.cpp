#include "framework/window/FrameWnd.h"

#include <algorithm>
#include <exception>

#include "framework/core/AfxRes.h"
#include "framework/core/CmdUI.h"
#include "framework/core/Resources.h"
#include "framework/window/ControlBar.h"
#include "framework/window/DocTemplate.h"
#include "framework/window/Document.h"
#include "framework/window/MessageBox.h"
#include "framework/window/View.h"
#include "framework/window/WaitCursor.h"
#include "framework/window/WinApp.h"
#include "framework/window/WindowPlacement.h"

const CRuntimeClass CFrameWnd::runtimeClass{"CFrameWnd", &CWnd::runtimeClass, nullptr};

const CommandMap* CFrameWnd::ThisMessageMap() {
    static constexpr CommandMapEntry entries[] = {
        CommandEntry<&CFrameWnd::OnViewToolBar, &CFrameWnd::OnUpdateViewToolBar>(ID_VIEW_TOOLBAR),
        CommandEntry<&CFrameWnd::OnViewStatusBar, &CFrameWnd::OnUpdateViewStatusBar>(
            ID_VIEW_STATUS_BAR),
    };
    static const CommandMap map{CWnd::ThisMessageMap(), entries};
    return &map;
}

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd() {
    for (CControlBar* bar : m_controlBars) {
        bar->m_pDockSite = nullptr;
    }
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
    }
}

void CFrameWnd::SetActiveView(CView* pView, bool bNotify) {
    CView* previous = m_pActiveView;
    m_pActiveView = pView;
    if (bNotify) {
        if (previous != nullptr && previous != pView) {
            previous->OnActivateView(false, pView, previous);
        }
        if (pView != nullptr) {
            pView->OnActivateView(true, pView, previous);
        }
    }
}

CDocument* CFrameWnd::GetActiveDocument() const {
    return m_pActiveView != nullptr ? m_pActiveView->GetDocument() : nullptr;
}

bool CFrameWnd::OnCmdMsg(CommandId id, CmdQuery q, CCmdUI* pCmdUI) {
    if (m_pActiveView != nullptr && m_pActiveView->OnCmdMsg(id, q, pCmdUI)) {
        return true;
    }
    if (DispatchOwn(id, q, pCmdUI)) {
        return true;
    }
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(id, q, pCmdUI);
}

void CFrameWnd::BindCommandUI(CommandId id, std::function<void(const CCmdUI&)> apply) {
    m_commandUI.push_back({id, std::move(apply)});
}

void CFrameWnd::OnIdleUpdateCmdUI() {
    for (const CommandUIBinding& binding : m_commandUI) {
        CCmdUI state(binding.id);
        UpdateCommand(state);
        binding.apply(state);
    }
}

bool CFrameWnd::OnCommand(CommandId id) {
    // No exception may reach Qt's event loop: what a command could not finish is reported once.
    try {
        // A comparison may take a noticeable time; dialogs the command runs lift the cursor.
        CWaitCursor wait;
        return ExecuteCommand(id);
    } catch (...) {
        ReportCommandException(std::current_exception());
        return false;
    }
}

void CFrameWnd::PostCommand(CommandId id) {
    PostCall(this, [this, id] { OnCommand(id); });
}

bool CFrameWnd::PreCreateWindow(CREATESTRUCT& /*cs*/) {
    return true;
}

bool CFrameWnd::LoadFrame(UINT nIDResource, CCreateContext* pContext) {
    CREATESTRUCT cs{};
    cs.style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE;
    if (!PreCreateWindow(cs)) {
        return false;
    }
    m_dwStyle = static_cast<DWORD>(cs.style);
    std::string templateString;
    if (AfxLoadString(nIDResource, templateString)) {
        m_strTitle = AfxExtractSubString(templateString, 0);
    }
    if (!CreateFrameWindow(nIDResource)) {
        return false;
    }
    m_pCreateContext = pContext;
    const int result = OnCreate(&cs);
    m_pCreateContext = nullptr;
    if (result == -1) {
        return false;
    }
    RecalcLayout();
    OnUpdateFrameTitle();
    return true;
}

int CFrameWnd::OnCreate(CREATESTRUCT* lpCreateStruct) {
    return OnCreateClient(lpCreateStruct, m_pCreateContext) ? 0 : -1;
}

bool CFrameWnd::OnCreateClient(CREATESTRUCT* /*pcs*/, CCreateContext* pContext) {
    if (pContext == nullptr || pContext->m_pNewViewClass == nullptr) {
        return true;
    }
    std::unique_ptr<CObject> object = pContext->m_pNewViewClass->CreateObject();
    auto* view = dynamic_cast<CView*>(object.get());
    if (view == nullptr) {
        return false;
    }
    CRect client;
    GetClientRect(&client);
    if (!view->Create(this, client, AFX_IDW_PANE_FIRST, pContext)) {
        return false;
    }
    m_pClientView = std::move(object);
    SetActiveView(view, false);
    return true;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, bool bMakeVisible) {
    if (pDoc != nullptr) {
        for (CView* view : std::vector<CView*>(pDoc->GetViews())) {
            view->OnInitialUpdate();
        }
    }
    OnUpdateFrameTitle();
    if (bMakeVisible) {
        ShowWindow(SW_SHOW);
    }
}

void CFrameWnd::OnUpdateFrameTitle() {
    if (!IsWindow()) {
        return;
    }
    std::string caption = m_strTitle;
    if ((m_dwStyle & FWS_ADDTOTITLE) != 0) {
        if (CDocument* doc = GetActiveDocument(); doc != nullptr && !doc->GetTitle().empty()) {
            caption = doc->GetTitle() + " - " + m_strTitle;
        }
    }
    SetWindowText(caption);
}

void CFrameWnd::AddControlBar(CControlBar* pBar) {
    m_controlBars.push_back(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar) {
    std::erase(m_controlBars, pBar);
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) const {
    for (CControlBar* bar : m_controlBars) {
        if (bar->GetDlgCtrlID() == nID) {
            return bar;
        }
    }
    return nullptr;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, bool bShow, bool /*bDelay*/) {
    if (pBar != nullptr && pBar->IsWindow()) {
        pBar->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
        RecalcLayout();
    }
}

void CFrameWnd::SaveBarState(const std::string& profileName) const {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return;
    }
    const CSize screen = AfxGetPrimaryScreenSize();
    const std::string summary = profileName + "-Summary";
    app->WriteProfileInt(summary, "Bars", static_cast<int>(m_controlBars.size()));
    app->WriteProfileInt(summary, "ScreenCX", screen.cx);
    app->WriteProfileInt(summary, "ScreenCY", screen.cy);
    int index = 0;
    for (const CControlBar* bar : m_controlBars) {
        const std::string section = profileName + "-Bar" + std::to_string(index++);
        const DWORD side = bar->GetDockedSide();
        CRect place;
        bar->GetChildRect(&place);
        app->WriteProfileInt(section, "BarID", static_cast<int>(bar->GetDlgCtrlID()));
        app->WriteProfileInt(section, "Visible", bar->IsShown() ? 1 : 0);
        app->WriteProfileInt(section, "Horz",
                             (side & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) == 0 ? 1 : 0);
        app->WriteProfileInt(section, "Floating", bar->IsFloating() ? 1 : 0);
        app->WriteProfileInt(section, "Docking", static_cast<int>(side));
        app->WriteProfileInt(section, "XPos", place.left);
        app->WriteProfileInt(section, "YPos", place.top);
    }
}

void CFrameWnd::OnBarCheck(UINT nID) {
    if (CControlBar* bar = GetControlBar(nID)) {
        ShowControlBar(bar, bar->IsWindow() && !bar->IsShown(), false);
    }
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI) {
    CControlBar* bar = GetControlBar(pCmdUI->m_nID);
    if (bar == nullptr || !bar->IsWindow()) {
        pCmdUI->Enable(false);
        pCmdUI->SetCheck(0);
        return;
    }
    pCmdUI->Enable(true);
    pCmdUI->SetCheck(bar->IsShown() ? 1 : 0);
}

void CFrameWnd::OnViewToolBar() {
    OnBarCheck(AFX_IDW_TOOLBAR);
}

void CFrameWnd::OnViewStatusBar() {
    OnBarCheck(AFX_IDW_STATUS_BAR);
}

void CFrameWnd::OnUpdateViewToolBar(CCmdUI* pCmdUI) {
    OnUpdateControlBarMenu(pCmdUI);
}

void CFrameWnd::OnUpdateViewStatusBar(CCmdUI* pCmdUI) {
    OnUpdateControlBarMenu(pCmdUI);
}

void CFrameWnd::OnSize(UINT nType, int /*cx*/, int /*cy*/) {
    if (nType != SIZE_MINIMIZED) {
        RecalcLayout();
    }
}
