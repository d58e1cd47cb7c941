#include "framework/FrameWnd.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <exception>

#include "framework/CmdUI.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/MessageBox.h"
#include "framework/View.h"
#include "framework/WinApp.h"

const CRuntimeClass CFrameWnd::runtimeClass{"CFrameWnd", &CWnd::runtimeClass, nullptr};

CFrameWnd::CFrameWnd() = default;
CFrameWnd::~CFrameWnd() = default;

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
        return ExecuteCommand(id);
    } catch (...) {
        ReportCommandException(std::current_exception());
        return false;
    }
}

void CFrameWnd::PostCommand(CommandId id) {
    QObject* context = GetWidget() != nullptr ? static_cast<QObject*>(GetWidget())
                                              : QCoreApplication::instance();
    QMetaObject::invokeMethod(context, [this, id] { OnCommand(id); }, Qt::QueuedConnection);
}

bool CFrameWnd::LoadFrame(UINT /*nIDResource*/, CCreateContext* pContext) {
    Attach(new QWidget());
    CREATESTRUCT cs;
    return OnCreateClient(&cs, pContext);
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
    if (!view->Create(this, client, 0, pContext)) {
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
    if (bMakeVisible) {
        ShowWindow(SW_SHOW);
    }
}
