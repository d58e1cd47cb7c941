#include "framework/WinApp.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QObject>

#include "framework/FrameWnd.h"

const CRuntimeClass CWinApp::runtimeClass{"CWinApp", &CCmdTarget::runtimeClass, nullptr};

namespace {
CWinApp* g_pApp = nullptr;  // the one application object, as the program describes it
}

CWinApp* AfxGetApp() { return g_pApp; }

CWinApp::CWinApp() { g_pApp = this; }

CWinApp::~CWinApp() {
    m_pIdleConnection.reset();
    if (g_pApp == this) {
        g_pApp = nullptr;
    }
}

bool CWinApp::OnIdle(long /*lCount*/) {
    // Applying a state may post events (a repaint of a button); those wake the loop, which then
    // goes idle again: guard against re-entry from nested loops run by an update.
    if (m_bInIdle || m_pMainWnd == nullptr) {
        return false;
    }
    m_bInIdle = true;
    m_pMainWnd->OnIdleUpdateCmdUI();
    m_bInIdle = false;
    return false;
}

void CWinApp::EnableIdleProcessing() {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher == nullptr) {
        return;
    }
    m_pIdleConnection = std::make_unique<QObject>();
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, m_pIdleConnection.get(),
                     [this] { OnIdle(0); });
}
