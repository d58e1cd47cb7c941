#include "shell/TessiverApp.h"

#include "display/TessiverView.h"
#include "document/TessiverDoc.h"
#include "framework/core/Resources.h"
#include "framework/window/DocTemplate.h"
#include "framework/window/FrameWnd.h"
#include "resources/Resource.h"
#include "shell/AboutBox.h"
#include "shell/MainFrame.h"
#include "shell/OptionsGeneral.h"
#include "shell/TessiverCommandLineInfo.h"

const CommandMap* CTessiverApp::ThisMessageMap() {
    static constexpr CommandMapEntry entries[] = {
        CommandEntry<&CTessiverApp::OnAppAbout>(ID_APP_ABOUT),
        CommandEntry<&CWinApp::OnFileNew>(ID_FILE_NEW),
        CommandEntry<&CWinApp::OnFileOpen>(ID_FILE_OPEN),
        CommandEntry<&CWinApp::OnFilePrintSetup>(ID_FILE_PRINT_SETUP),
    };
    static const CommandMap map{CWinApp::ThisMessageMap(), entries};
    return &map;
}

CTessiverApp::CTessiverApp() {
    AfxSetResourceTables(&GetResourceTables());
    // The document opens the options page by its class name: the document cannot know the shell.
    RegisterRuntimeClass(RUNTIME_CLASS(COptionsGeneral));
}

CTessiverApp::~CTessiverApp() = default;

bool CTessiverApp::InitInstance() {
    Enable3dControlsStatic();
    SetRegistryKey("Corvessa");
    LoadStdProfileSettings(16);

    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CTessiverDoc),
                                          RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CTessiverView)));

    CTessiverCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo)) {
        return false;
    }

    if (!cmdInfo.m_sourceArg.empty() && !cmdInfo.m_targetArg.empty()) {
        if (auto* doc = dynamic_cast<CTessiverDoc*>(m_pMainWnd->GetActiveDocument())) {
            doc->SetPaths(cmdInfo.m_sourceArg, cmdInfo.m_targetArg);
            // Posted: the comparison runs from the loop, once the window is shown, and passes
            // the compare command's enable rule like any other command.
            m_pMainWnd->PostCommand(ID_COMPARE);
        }
    }

    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();
    return true;
}

void CTessiverApp::OnAppAbout() {
    CAboutBox aboutDlg;
    aboutDlg.DoModal();
}
