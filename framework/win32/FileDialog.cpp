// The Win32 half of CFileDialog: the system's open and save dialogs, in their wide forms.
#include "framework/window/FileDialog.h"

#include <cstring>
#include <vector>

#include "framework/win32/Win32Support.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/WinApp.h"

namespace {

// The platform's list of null-terminated pairs, closed by an empty string, in UTF-16.
std::wstring WidenFilterList(const char* list) {
    std::wstring wide;
    if (list == nullptr) {
        return wide;
    }
    while (*list != '\0') {
        const std::size_t length = std::strlen(list);
        wide += Widen(std::string_view(list, length));
        wide.push_back(L'\0');
        list += length + 1;
    }
    wide.push_back(L'\0');
    return wide;
}

}  // namespace

int CFileDialog::DoModal() {
    const std::wstring filter = WidenFilterList(m_ofn.lpstrFilter);
    const std::wstring title = m_ofn.lpstrTitle != nullptr ? Widen(m_ofn.lpstrTitle) : L"";
    const std::wstring defaultExtension =
        m_ofn.lpstrDefExt != nullptr ? Widen(m_ofn.lpstrDefExt) : L"";
    std::wstring folder = m_ofn.lpstrInitialDir != nullptr ? Widen(m_ofn.lpstrInitialDir) : L"";
    std::wstring file = Widen(m_strFileName);
    // A remembered file rather than a folder starts the dialog beside that file, chosen.
    const DWORD attributes =
        folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(folder.c_str());
    if (!folder.empty() &&
        (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)) {
        const std::size_t slash = folder.find_last_of(L"\\/");
        if (attributes != INVALID_FILE_ATTRIBUTES && file.empty()) {
            file = folder.substr(slash == std::wstring::npos ? 0 : slash + 1);
        }
        folder = slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
    }
    std::vector<wchar_t> path(std::max<DWORD>(m_ofn.nMaxFile, MAX_PATH), L'\0');
    file.copy(path.data(), std::min(file.size(), path.size() - 1));

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_ofn.hwndOwner;
    if (ofn.hwndOwner == nullptr && AfxGetApp() != nullptr && AfxGetApp()->m_pMainWnd != nullptr) {
        ofn.hwndOwner = AfxGetApp()->m_pMainWnd->GetSafeHwnd();
    }
    ofn.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
    ofn.nFilterIndex = m_ofn.nFilterIndex;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    // The framework's open dialog only ever returns a file that exists; it has no hook here. The
    // program's current folder stays where it started: relative names keep their meaning.
    ofn.Flags = (m_ofn.Flags & ~static_cast<DWORD>(OFN_ENABLEHOOK)) | OFN_NOCHANGEDIR |
                (m_bOpenFileDialog ? OFN_FILEMUSTEXIST : 0);
    const CCentredDialogs centred(ofn.hwndOwner);
    const BOOL chosen = m_bOpenFileDialog ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
    if (!chosen) {
        return IDCANCEL;
    }
    m_strPathName = Narrow(path.data());
    return IDOK;
}
