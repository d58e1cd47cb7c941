#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/CmdTarget.h"
#include "framework/core/Platform.h"

class CCommandLineInfo;
class CDocTemplate;
class CDocument;
class CFrameWnd;

// The application object: the last stop of command routing, the owner of idle processing, of
// the document templates and of the framework's profile. Exactly one exists while the program
// runs; AfxWinMain runs it.
class CWinApp : public CCmdTarget {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    // pszAppName null: the name is string 57344 of the program's resources.
    explicit CWinApp(const char* pszAppName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual bool InitInstance();
    // Saves the profile settings; the program's exit code.
    virtual int ExitInstance();
    // The event loop; returns ExitInstance's result.
    virtual int Run();

    // Idle processing: refreshes the main frame's command user interface from the update
    // handlers. Called whenever the event loop is about to wait, once EnableIdleProcessing ran.
    virtual bool OnIdle(long lCount);
    void EnableIdleProcessing();

    // Start-up steps.
    void Enable3dControlsStatic() {}
    // The profile then lives in HKEY_CURRENT_USER\Software\<company>\<application name>, and the
    // registry store outside Windows in a file named after both.
    void SetRegistryKey(const char* pszCompany);
    // Reads the recent-file list (up to nMaxMRU entries) and the print-preview page count.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();
    // Takes ownership of the template.
    void AddDocTemplate(CDocTemplate* pTemplate);
    // Hands each parameter of the command line to rInfo.ParseParam. A parameter starting with a
    // flag character (AfxIsFlagCharacter) is a flag and loses that one character.
    void ParseCommandLine(CCommandLineInfo& rInfo);
    // Carries out the shell command: FileNew creates the document and the main frame.
    bool ProcessShellCommand(CCommandLineInfo& rInfo);
    // The command line, program name first; AfxWinMain sets it, tests may too.
    void SetCommandLine(std::vector<std::string> args) { m_args = std::move(args); }

    // The profile (below the registry key, or nothing before SetRegistryKey).
    std::string GetProfileString(const std::string& section, const std::string& entry,
                                 const std::string& defaultValue = {}) const;
    int GetProfileInt(const std::string& section, const std::string& entry, int defaultValue) const;
    bool WriteProfileString(const std::string& section, const std::string& entry,
                            const std::string& value);
    bool WriteProfileInt(const std::string& section, const std::string& entry, int value);
    // "Software\<company>\<application>", empty before SetRegistryKey.
    std::string GetAppRegistryKeyPath() const;

    void AddToRecentFileList(const std::string& path);
    const std::vector<std::string>& GetRecentFileList() const { return m_recentFiles; }

    // Destroys the templates with their documents and frames (at the end of the program, while
    // the window system is still there).
    void CloseAllDocuments();

    // Opens path into the one document, as the Open command does; adds it to the recent files.
    CDocument* OpenDocumentFile(const std::string& path);

    // Classes the framework creates by name (AfxFindRuntimeClass).
    void RegisterRuntimeClass(const CRuntimeClass* pClass);
    const CRuntimeClass* FindRuntimeClass(std::string_view name) const;

    // The framework's standard commands.
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();

    static const CommandMap* ThisMessageMap();

    CFrameWnd* m_pMainWnd = nullptr;  // the main frame; owned by the document template
    std::string m_strAppName;
    std::string m_strRegistryKey;
    std::string m_strProfileName;
    int m_nNumPreviewPages = 0;

    struct Impl;  // the platform's idle processing and printer settings

protected:
    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }

private:
    friend int AfxWinMain(int argc, char** argv);
    // The platform's half of AfxWinMain: the window system the program runs on, set up for the
    // run and taken down after it.
    int RunOnWindowSystem(int argc, char** argv);
    // The run itself: InitInstance, then the event loop and ExitInstance; then the documents go.
    int RunInstance(std::vector<std::string> args);

    // Makes the object the one AfxGetApp gives while it lives. Declared before the templates, it
    // goes after them: their frames and views still reach the application as they go.
    class CCurrentApp {
    public:
        explicit CCurrentApp(CWinApp* pApp);
        ~CCurrentApp();
        CCurrentApp(const CCurrentApp&) = delete;
        CCurrentApp& operator=(const CCurrentApp&) = delete;

    private:
        CWinApp* m_pApp;
    };

    CCurrentApp m_current{this};
    bool m_bInIdle = false;
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
    std::vector<std::string> m_args;
    std::vector<std::string> m_recentFiles;
    UINT m_nMaxMRU = 0;  // 0: no recent-file list was loaded, so none is saved
    std::vector<const CRuntimeClass*> m_classes;
    std::unique_ptr<Impl> m_pImpl;  // goes first
};

// The one application object, or null when none exists.
CWinApp* AfxGetApp();

// The class record registered under name with the application, or null.
const CRuntimeClass* AfxFindRuntimeClass(std::string_view name);

// The program's entry: sets up the window system, gives the application object its name (string
// 57344 when it has none) and the program's arguments, and runs its InitInstance, the event loop
// and ExitInstance. Returns the exit code.
int AfxWinMain(int argc, char** argv);
