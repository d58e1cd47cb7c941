// The Qt half of CWinApp: the event loop and its idle processing, printer set-up, the entry.
#include "framework/window/WinApp.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QObject>
#include <QPageSetupDialog>
#include <QPrinter>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

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

namespace {

// Qt ends the process (abort) when it cannot reach a window system, as when no display is set.
// While the application object is made, Qt's messages are held back; if one is that fatal one,
// the program says instead, in one line, what to set, and ends with status 1. Otherwise the held
// messages go on as they would have.
struct StartupMessages {
    struct Held {
        QtMsgType type;
        std::string category;
        QString text;
    };
    std::mutex mutex;
    QtMessageHandler previous = nullptr;
    std::vector<Held> held;
    std::string program;
    std::string platform;  // as asked for on the command line or in QT_QPA_PLATFORM
};

StartupMessages& Startup() {
    static StartupMessages startup;
    return startup;
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// What to set to reach a display, for the platform asked for.
std::string NoDisplayMessage(const StartupMessages& startup) {
    const std::string& platform = startup.platform;
    std::string text = startup.program + ": cannot open the display";
    if (platform.starts_with("wayland")) {
        const std::string name = Variable("WAYLAND_DISPLAY");
        return text +
               (name.empty() ? ": set WAYLAND_DISPLAY"
                             : " \"" + name + "\" named by WAYLAND_DISPLAY") +
               " (or QT_QPA_PLATFORM=xcb with DISPLAY)";
    }
    if (!platform.empty() && !platform.starts_with("xcb")) {
        return text + ": QT_QPA_PLATFORM names \"" + platform +
               "\", which shows no windows here (set it to xcb with DISPLAY)";
    }
    const std::string name = Variable("DISPLAY");
    return text + (name.empty() ? ": set DISPLAY (or WAYLAND_DISPLAY with QT_QPA_PLATFORM=wayland)"
                                : " \"" + name + "\" named by DISPLAY");
}

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    StartupMessages& startup = Startup();
    const std::lock_guard lock(startup.mutex);
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", NoDisplayMessage(startup).c_str());
        std::fflush(stderr);
        std::_Exit(1);  // nothing is left to tidy: the application object was never made
    }
    startup.held.push_back({type, context.category != nullptr ? context.category : "", text});
}

void HoldStartupMessages(int argc, char** argv) {
    StartupMessages& startup = Startup();
    const std::string path = argc > 0 ? argv[0] : "tessiver";
    startup.program = path.substr(path.find_last_of('/') + 1);
    startup.platform = Variable("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0) {
            startup.platform = argv[i + 1];
        }
    }
    startup.previous = qInstallMessageHandler(&HoldMessage);
}

void ReleaseStartupMessages() {
    StartupMessages& startup = Startup();
    qInstallMessageHandler(startup.previous);
    std::vector<StartupMessages::Held> held;
    {
        const std::lock_guard lock(startup.mutex);
        held.swap(startup.held);
    }
    for (const StartupMessages::Held& message : held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        qt_message_output(message.type, context, message.text);
    }
}

}  // namespace

bool AfxIsFlagCharacter(char c) {
    return c == '-';
}

int CWinApp::RunOnWindowSystem(int argc, char** argv) {
    // Qt takes its own options out of the arguments.
    HoldStartupMessages(argc, argv);
    QApplication application(argc, argv);
    ReleaseStartupMessages();
    QApplication::setApplicationName(QString::fromLocal8Bit(m_strAppName.c_str()));
    return RunInstance(GetProgramArguments(argc, argv));
}
