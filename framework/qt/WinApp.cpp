// The Qt half of CWinApp: the event loop and its idle processing, printer set-up, the entry.
#include "framework/window/WinApp.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QObject>
#include <QPageSetupDialog>
#include <QPrinter>
#include <memory>

#include "framework/core/AfxRes.h"
#include "framework/core/CommandLineInfo.h"
#include "framework/core/Resources.h"
#include "framework/qt/ModalDialog.h"
#include "framework/qt/QtSupport.h"
#include "framework/window/FrameWnd.h"
#include "platform/Arguments.h"

struct CWinApp::Impl {
    std::unique_ptr<QObject> pIdleConnection;  // ends idle processing with the application
    std::unique_ptr<QPrinter> pPrinter;
};

template <>
void PlatformDeleter<CWinApp::Impl>::operator()(CWinApp::Impl* p) const {
    delete p;
}

int CWinApp::ExitInstance() {
    SaveStdProfileSettings();
    // The printer settings belong to the window system, which goes when the loop has ended.
    if (m_pImpl) {
        m_pImpl->pPrinter.reset();
    }
    return 0;
}

int CWinApp::Run() {
    EnableIdleProcessing();
    QApplication::exec();
    return ExitInstance();
}

void CWinApp::EnableIdleProcessing() {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher == nullptr) {
        return;
    }
    if (!m_pImpl) {
        m_pImpl.reset(new Impl);
    }
    m_pImpl->pIdleConnection = std::make_unique<QObject>();
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                     m_pImpl->pIdleConnection.get(), [this] { OnIdle(0); });
}

void CWinApp::OnFilePrintSetup() {
    if (!m_pImpl) {
        m_pImpl.reset(new Impl);
    }
    if (!m_pImpl->pPrinter) {
        m_pImpl->pPrinter = std::make_unique<QPrinter>();
    }
    QPageSetupDialog dialog(m_pImpl->pPrinter.get(),
                            m_pMainWnd != nullptr ? m_pMainWnd->GetSafeHwnd() : nullptr);
    AfxRunModalDialog(dialog);
}

bool AfxIsFlagCharacter(char c) {
    return c == '-';
}

int AfxWinMain(int argc, char** argv) {
    QApplication application(argc, argv);
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    if (app->m_pszAppName.empty()) {
        AfxLoadString(AFX_IDS_APP_TITLE, app->m_pszAppName);
    }
    QApplication::setApplicationName(QString::fromLocal8Bit(app->m_pszAppName.c_str()));
    app->SetCommandLine(GetProgramArguments(argc, argv));
    const int result = app->InitInstance() ? app->Run() : app->ExitInstance();
    app->CloseAllDocuments();
    return result;
}
