// The Qt half of CWinApp: the event loop and its idle processing, printer set-up, the entry.
#include "framework/window/WinApp.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QObject>
#include <QPageSetupDialog>
#include <QPrinter>
#include <memory>

#include "framework/core/CommandLineInfo.h"
#include "framework/qt/ModalDialog.h"
#include "framework/qt/QtSupport.h"
#include "framework/window/DocTemplate.h"
#include "framework/window/FrameWnd.h"
#include "platform/Arguments.h"

struct CWinApp::Impl {
    std::unique_ptr<QObject> pIdleConnection;  // ends idle processing with the application
    std::unique_ptr<QPrinter> pPrinter;
};

CWinApp::CWinApp(const char* pszAppName) : m_strAppName(pszAppName != nullptr ? pszAppName : "") {}

CWinApp::~CWinApp() = default;

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

int CWinApp::RunOnWindowSystem(int argc, char** argv) {
    // Qt takes its own options out of the arguments.
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLocal8Bit(m_strAppName.c_str()));
    return RunInstance(GetProgramArguments(argc, argv));
}
