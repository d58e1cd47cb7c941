#include "framework/window/WinApp.h"

#include <algorithm>
#include <cstdio>

#include "framework/core/AfxRes.h"
#include "framework/core/CommandLineInfo.h"
#include "framework/core/Resources.h"
#include "framework/registry/Registry.h"
#include "framework/window/DocTemplate.h"
#include "framework/window/Document.h"
#include "framework/window/FileDialog.h"
#include "framework/window/FrameWnd.h"

const CRuntimeClass CWinApp::runtimeClass{"CWinApp", &CCmdTarget::runtimeClass, nullptr};

namespace {
CWinApp* g_pApp = nullptr;  // the one application object, as the program describes it

constexpr const char* kRecentFileSection = "Recent File List";
constexpr const char* kRecentFileEntry = "File%d";
constexpr const char* kSettingsSection = "Settings";
constexpr const char* kPreviewPagesEntry = "PreviewPages";

std::string RecentFileEntry(UINT n) {
    char entry[16];
    std::snprintf(entry, sizeof entry, kRecentFileEntry, static_cast<int>(n));
    return entry;
}
}  // namespace

CWinApp* AfxGetApp() {
    return g_pApp;
}

const CRuntimeClass* AfxFindRuntimeClass(std::string_view name) {
    return g_pApp != nullptr ? g_pApp->FindRuntimeClass(name) : nullptr;
}

const CommandMap* CWinApp::ThisMessageMap() {
    static constexpr CommandMapEntry entries[] = {
        CommandEntry<&CWinApp::OnAppExit>(ID_APP_EXIT),
    };
    static const CommandMap map{CCmdTarget::ThisMessageMap(), entries};
    return &map;
}

CWinApp::CCurrentApp::CCurrentApp(CWinApp* pApp) : m_pApp(pApp) {
    g_pApp = pApp;
}

CWinApp::CCurrentApp::~CCurrentApp() {
    if (g_pApp == m_pApp) {
        g_pApp = nullptr;
    }
}

int AfxWinMain(int argc, char** argv) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    if (app->m_strAppName.empty()) {
        AfxLoadString(AFX_IDS_APP_TITLE, app->m_strAppName);
    }
    return app->RunOnWindowSystem(argc, argv);
}

int CWinApp::RunInstance(std::vector<std::string> args) {
    SetCommandLine(std::move(args));
    const int result = InitInstance() ? Run() : ExitInstance();
    CloseAllDocuments();
    return result;
}

bool CWinApp::InitInstance() {
    return true;
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

void CWinApp::SetRegistryKey(const char* pszCompany) {
    m_strRegistryKey = pszCompany != nullptr ? pszCompany : "";
    if (m_strAppName.empty()) {
        AfxLoadString(AFX_IDS_APP_TITLE, m_strAppName);
    }
    m_strProfileName = m_strAppName;
    RegSetStoreOwner(m_strRegistryKey, m_strProfileName);
}

std::string CWinApp::GetAppRegistryKeyPath() const {
    if (m_strRegistryKey.empty()) {
        return {};
    }
    return "Software\\" + m_strRegistryKey + "\\" + m_strProfileName;
}

std::string CWinApp::GetProfileString(const std::string& section, const std::string& entry,
                                      const std::string& defaultValue) const {
    const std::string key = GetAppRegistryKeyPath();
    return key.empty() ? defaultValue : RegGetProfileString(key, section, entry, defaultValue);
}

int CWinApp::GetProfileInt(const std::string& section, const std::string& entry,
                           int defaultValue) const {
    const std::string key = GetAppRegistryKeyPath();
    return key.empty() ? defaultValue : RegGetProfileInt(key, section, entry, defaultValue);
}

bool CWinApp::WriteProfileString(const std::string& section, const std::string& entry,
                                 const std::string& value) {
    const std::string key = GetAppRegistryKeyPath();
    return !key.empty() && RegWriteProfileString(key, section, entry, value);
}

bool CWinApp::WriteProfileInt(const std::string& section, const std::string& entry, int value) {
    const std::string key = GetAppRegistryKeyPath();
    return !key.empty() && RegWriteProfileInt(key, section, entry, value);
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
    const RegistryBatch batch;  // one reading of the settings for them all
    m_nMaxMRU = nMaxMRU;
    m_recentFiles.clear();
    for (UINT n = 1; n <= nMaxMRU; ++n) {
        const std::string path = GetProfileString(kRecentFileSection, RecentFileEntry(n));
        if (!path.empty()) {
            m_recentFiles.push_back(path);
        }
    }
    m_nNumPreviewPages = GetProfileInt(kSettingsSection, kPreviewPagesEntry, 0);
}

void CWinApp::SaveStdProfileSettings() {
    if (m_nMaxMRU == 0) {
        return;
    }
    const RegistryBatch batch;  // stored together
    const std::string key = GetAppRegistryKeyPath();
    for (UINT n = 1; n <= m_nMaxMRU; ++n) {
        if (n <= m_recentFiles.size()) {
            WriteProfileString(kRecentFileSection, RecentFileEntry(n), m_recentFiles[n - 1]);
        } else if (!key.empty()) {
            RegDeleteProfileEntry(key, kRecentFileSection, RecentFileEntry(n));
        }
    }
    WriteProfileInt(kSettingsSection, kPreviewPagesEntry, m_nNumPreviewPages);
}

void CWinApp::AddToRecentFileList(const std::string& path) {
    if (m_nMaxMRU == 0) {
        return;
    }
    std::erase(m_recentFiles, path);
    m_recentFiles.insert(m_recentFiles.begin(), path);
    if (m_recentFiles.size() > m_nMaxMRU) {
        m_recentFiles.resize(m_nMaxMRU);
    }
}

void CWinApp::CloseAllDocuments() {
    m_pMainWnd = nullptr;
    m_templates.clear();
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) {
    m_templates.emplace_back(pTemplate);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rInfo) {
    for (std::size_t i = 1; i < m_args.size(); ++i) {
        std::string param = m_args[i];
        const bool bFlag = !param.empty() && AfxIsFlagCharacter(param[0]);
        if (bFlag) {
            param.erase(0, 1);
        }
        rInfo.ParseParam(param.c_str(), bFlag, i + 1 == m_args.size());
    }
}

bool CWinApp::ProcessShellCommand(CCommandLineInfo& rInfo) {
    switch (rInfo.m_nShellCommand) {
        case CCommandLineInfo::FileNew:
            OnFileNew();
            return m_pMainWnd != nullptr;
        case CCommandLineInfo::FileOpen:
            OnFileNew();
            return m_pMainWnd != nullptr && OpenDocumentFile(rInfo.m_strFileName) != nullptr;
        case CCommandLineInfo::FileNothing:
            return true;
        default:
            return false;
    }
}

void CWinApp::OnFileNew() {
    if (m_templates.empty()) {
        return;
    }
    if (auto* single = dynamic_cast<CSingleDocTemplate*>(m_templates.front().get())) {
        single->OpenDocumentFile(nullptr);
    }
}

CDocument* CWinApp::OpenDocumentFile(const std::string& path) {
    auto* single = m_templates.empty()
                       ? nullptr
                       : dynamic_cast<CSingleDocTemplate*>(m_templates.front().get());
    if (single == nullptr) {
        return nullptr;
    }
    CDocument* doc = single->OpenDocumentFile(&path);
    if (doc != nullptr) {
        AddToRecentFileList(path);
    }
    return doc;
}

void CWinApp::OnFileOpen() {
    // The framework's own dialog: no filter of the program's, so only "All Files".
    CFileDialog dialog(true, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                       "All Files (*.*)|*.*|", m_pMainWnd);
    dialog.m_ofn.lpstrTitle = "Open";
    if (dialog.DoModal() != IDOK) {
        return;
    }
    OpenDocumentFile(dialog.GetPathName());
}

void CWinApp::OnAppExit() {
    // As if the user closed the main window: it stores its state (in one change of the
    // settings) and decides.
    if (m_pMainWnd != nullptr) {
        const RegistryBatch batch;
        m_pMainWnd->OnClose();
    }
}

void CWinApp::RegisterRuntimeClass(const CRuntimeClass* pClass) {
    if (std::find(m_classes.begin(), m_classes.end(), pClass) == m_classes.end()) {
        m_classes.push_back(pClass);
    }
}

const CRuntimeClass* CWinApp::FindRuntimeClass(std::string_view name) const {
    for (const CRuntimeClass* pClass : m_classes) {
        if (name == pClass->m_lpszClassName) {
            return pClass;
        }
    }
    return nullptr;
}
