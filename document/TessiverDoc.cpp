#include "document/TessiverDoc.h"

#include <algorithm>
#include <utility>

#include "document/RegistryKey.h"
#include "framework/core/CmdUI.h"
#include "framework/core/Resources.h"
#include "framework/dialog/PropertyPage.h"
#include "framework/dialog/PropertySheet.h"
#include "framework/window/FileDialog.h"
#include "framework/window/MessageBox.h"
#include "framework/window/WaitCursor.h"
#include "framework/window/WinApp.h"
#include "resources/Resource.h"

const CRuntimeClass CTessiverDoc::runtimeClass{"CTessiverDoc", &CDocument::runtimeClass,
                                               &CreateRuntimeObject<CTessiverDoc>};

const CommandMap* CTessiverDoc::ThisMessageMap() {
    static constexpr CommandMapEntry entries[] = {
        CommandEntry<&CTessiverDoc::OnOpenSource, &CTessiverDoc::OnUpdateEnabled>(ID_OPEN_SOURCE),
        CommandEntry<&CTessiverDoc::OnOpenTarget, &CTessiverDoc::OnUpdateEnabled>(ID_OPEN_TARGET),
        CommandEntry<&CTessiverDoc::OnCompare, &CTessiverDoc::OnUpdateCompare>(ID_COMPARE),
        CommandEntry<&CTessiverDoc::OnNextDifference, &CTessiverDoc::OnUpdateDifferenceCommand>(
            ID_NEXT_DIFFERENCE),
        CommandEntry<&CTessiverDoc::OnPreviousDifference, &CTessiverDoc::OnUpdateDifferenceCommand>(
            ID_PREVIOUS_DIFFERENCE),
        CommandEntry<&CTessiverDoc::OnOptions, &CTessiverDoc::OnUpdateDisabled>(ID_TOOLS_OPTIONS),
        CommandEntry<&CTessiverDoc::OnSwapFiles>(ID_SWAP_FILES),
        CommandEntry<&CTessiverDoc::OnRealignLongBlocks, &CTessiverDoc::OnUpdateRealignLongBlocks>(
            ID_REALIGN_LONG_BLOCKS),
        CommandEntry<&CTessiverDoc::OnIgnoreWhitespaceChanges,
                     &CTessiverDoc::OnUpdateCompareOption>(ID_IGNORE_WHITESPACE_CHANGES),
        CommandEntry<&CTessiverDoc::OnIgnoreAllWhitespace, &CTessiverDoc::OnUpdateCompareOption>(
            ID_IGNORE_ALL_WHITESPACE),
        CommandEntry<&CTessiverDoc::OnIgnoreCase, &CTessiverDoc::OnUpdateCompareOption>(
            ID_IGNORE_CASE),
        CommandEntry<&CTessiverDoc::OnIgnoreBlankLines, &CTessiverDoc::OnUpdateCompareOption>(
            ID_IGNORE_BLANK_LINES),
        CommandEntry<&CTessiverDoc::OnDecodeUnicode, &CTessiverDoc::OnUpdateCompareOption>(
            ID_DECODE_UNICODE),
        CommandEntry<&CTessiverDoc::OnWatchFiles, &CTessiverDoc::OnUpdateWatchFiles>(
            ID_WATCH_FILES),
        UpdateEntry<&CTessiverDoc::OnUpdateDisabled>(ID_FILE_PRINT),
        UpdateEntry<&CTessiverDoc::OnUpdateDisabled>(ID_FILE_PRINT_PREVIEW),
        UpdateEntry<&CTessiverDoc::OnUpdateSourcePane>(ID_INDICATOR_SOURCE),
        UpdateEntry<&CTessiverDoc::OnUpdateTargetPane>(ID_INDICATOR_TARGET),
    };
    static const CommandMap map{CDocument::ThisMessageMap(), entries};
    return &map;
}

CTessiverDoc::CTessiverDoc() {
    m_font.CreateFont(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH,
                      "Courier New");
}

CTessiverDoc::~CTessiverDoc() {
    m_watcher.Watch({}, {});
    m_pResult.reset();
    m_font.DeleteObject();
}

void CTessiverDoc::Serialize(CArchive& /*ar*/) {
    // The document has no file of its own: nothing is stored or loaded.
}

bool CTessiverDoc::OnNewDocument() {
    return CDocument::OnNewDocument();
}

void CTessiverDoc::SetPaths(std::string sourcePath, std::string targetPath) {
    m_sourcePath = std::move(sourcePath);
    m_targetPath = std::move(targetPath);
    FollowWatchedFiles();
}

void CTessiverDoc::OnCompare() {
    // The files as they are before they are read: a change while they are read is seen as one.
    m_watched[0] = {m_sourcePath, AfxGetFileStamp(m_sourcePath), DiskNotice::none};
    m_watched[1] = {m_targetPath, AfxGetFileStamp(m_targetPath), DiskNotice::none};
    FollowWatchedFiles();
    m_scroll.SetTopRow(0);
    m_comparer.SetFiles(m_sourcePath, m_targetPath);
    m_comparer.SetRealign(GetRealign());
    m_comparer.SetOptions(GetCompareOptions());
    // The old table goes before the new one is built: a comparison that fails halfway must not
    // leave the panes pointing at it.
    m_pResult.reset();
    try {
        m_pResult = m_comparer.Compare();
    } catch (...) {
        m_nCurrentDiff = 0;
        UpdateAllViews(nullptr, 0, nullptr);
        throw;
    }
    // The current difference survives a comparison only while it names a row of the new table.
    if (!m_pResult || m_nCurrentDiff >= m_pResult->GetRowCount()) {
        m_nCurrentDiff = 0;
    }
    UpdateAllViews(nullptr, 0, nullptr);
}

void CTessiverDoc::OnNextDifference() {
    const std::int32_t n = m_pResult->GetRowCount();
    const std::int32_t c = m_nCurrentDiff;
    std::int32_t i = c;
    // Leave the block that holds row c, then find the first row of the next block.
    while (i < n && m_pResult->IsDifference(i)) {
        ++i;
    }
    if (i < n) {
        while (i < n && !m_pResult->IsDifference(i)) {
            ++i;
        }
        if (i == n) {
            i = c;
        }
    } else {
        i = c;
    }
    m_scroll.SetTopRow(i);
    m_nCurrentDiff = i;
    UpdateAllViews(nullptr, 0, nullptr);
}

void CTessiverDoc::OnPreviousDifference() {
    const std::int32_t n = m_pResult->GetRowCount();
    const std::int32_t c = m_nCurrentDiff;
    // Only rows of the table are examined, row 0 included.
    std::int32_t i = std::min(c, n - 1);
    while (i >= 0 && m_pResult->IsDifference(i)) {
        --i;
    }
    while (i >= 0 && !m_pResult->IsDifference(i)) {
        --i;
    }
    if (i < 0) {
        i = c;
    }
    m_scroll.SetTopRow(i);
    m_nCurrentDiff = i;
    UpdateAllViews(nullptr, 0, nullptr);
}

void CTessiverDoc::OnSwapFiles() {
    std::string source = m_sourcePath;
    m_sourcePath = m_targetPath;
    m_targetPath = source;
    OnCompare();
}

namespace {
// The dialogs' one filter, in the platform's form: description, pattern, then an empty string.
constexpr char kAllFilesFilter[] = "All files (*.*)\0*.*\0";
constexpr const char* kOptionsKey = "software\\Corvessa\\Tessiver\\Options";
constexpr const char* kRealignValue = "Realign";
constexpr const char* kWatchFilesValue = "WatchFiles";
constexpr const char* kSourcePathValue = "Source Path";

// The comparison options as the registry keeps them: one DWORD each under the Options key,
// named in the order of OptionValue.
enum class OptionValue { whitespace, ignoreCase, ignoreBlankLines, decodeUnicode };
constexpr const char* kOptionValueNames[] = {"IgnoreWhitespace", "IgnoreCase", "IgnoreBlankLines",
                                             "DecodeUnicode"};

const char* NameOf(OptionValue value) {
    return kOptionValueNames[static_cast<int>(value)];
}

DWORD GetOptionValue(const CCompareOptions& options, OptionValue value) {
    switch (value) {
        case OptionValue::whitespace:
            return options.whitespace;
        case OptionValue::ignoreCase:
            return options.bIgnoreCase ? 1 : 0;
        case OptionValue::ignoreBlankLines:
            return options.bIgnoreBlankLines ? 1 : 0;
        case OptionValue::decodeUnicode:
            return options.bDecodeUnicode ? 1 : 0;
    }
    return 0;
}

// A stored value the program does not know counts as the option off.
void SetOptionValue(CCompareOptions& options, OptionValue value, DWORD stored) {
    switch (value) {
        case OptionValue::whitespace:
            options.whitespace =
                stored <= CCompareOptions::whitespaceAll ? static_cast<std::uint8_t>(stored) : 0;
            break;
        case OptionValue::ignoreCase:
            options.bIgnoreCase = stored == 1;
            break;
        case OptionValue::ignoreBlankLines:
            options.bIgnoreBlankLines = stored == 1;
            break;
        case OptionValue::decodeUnicode:
            options.bDecodeUnicode = stored == 1;
            break;
    }
}

// The View menu's option items: the value each sets when it is chosen. The two white-space items
// set the same value, so choosing one clears the other.
constexpr struct {
    CommandId id;
    OptionValue value;
    DWORD checked;
} kOptionItems[] = {
    {ID_IGNORE_WHITESPACE_CHANGES, OptionValue::whitespace, CCompareOptions::whitespaceChanges},
    {ID_IGNORE_ALL_WHITESPACE, OptionValue::whitespace, CCompareOptions::whitespaceAll},
    {ID_IGNORE_CASE, OptionValue::ignoreCase, 1},
    {ID_IGNORE_BLANK_LINES, OptionValue::ignoreBlankLines, 1},
    {ID_DECODE_UNICODE, OptionValue::decodeUnicode, 1},
};

// A status pane's text, then while decoding is on the encoding its file was decoded from.
std::string WithEncoding(std::string text, TextEncoding encoding, bool bDecoding) {
    if (bDecoding && encoding != TextEncoding::bytes && !text.empty()) {
        text += std::string(" (") + GetEncodingName(encoding) + ")";
    }
    return text;
}

// A string of the program's with each %s replaced by the next of parts.
std::string FormatString(UINT nID, std::initializer_list<std::string> parts) {
    std::string text;
    AfxLoadString(nID, text);
    std::size_t at = 0;
    for (const std::string& part : parts) {
        at = text.find("%s", at);
        if (at == std::string::npos) {
            break;
        }
        text.replace(at, 2, part);
        at += part.size();
    }
    return text;
}

// Why the dropped items cannot be taken (the message for the first that cannot), or nothing.
std::optional<std::string> WhyRefused(const std::vector<CDroppedItem>& items) {
    if (items.size() > 2) {
        return FormatString(IDS_DROP_TOO_MANY, {std::to_string(items.size())});
    }
    if (items.empty()) {
        std::string unnamed;
        AfxLoadString(IDS_DROP_UNNAMED, unnamed);
        return FormatString(IDS_DROP_NOT_A_FILE, {unnamed});
    }
    for (const CDroppedItem& item : items) {
        if (!item.bLocalFile || item.name.empty()) {
            std::string name = item.name;
            if (name.empty()) {
                AfxLoadString(IDS_DROP_UNNAMED, name);
            }
            return FormatString(IDS_DROP_NOT_A_FILE, {name});
        }
        const CFileStamp stamp = AfxGetFileStamp(AfxAbsolutePath(item.name));
        if (!stamp.bExists) {
            return FormatString(IDS_DROP_MISSING, {item.name});
        }
        if (stamp.bFolder) {
            return FormatString(IDS_DROP_FOLDER, {item.name});
        }
    }
    return std::nullopt;
}

}  // namespace

void CTessiverDoc::OnOpenSource() {
    CFileDialog dlg(true, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, nullptr,
                    nullptr);
    std::string title;
    AfxLoadString(IDS_OPEN_SOURCE_TITLE, title);
    dlg.m_ofn.lpstrTitle = title.c_str();
    dlg.m_ofn.lpstrFilter = kAllFilesFilter;
    CRegistryKey key(kOptionsKey, HKEY_CURRENT_USER);
    std::string sourcePath;
    key.ReadText(kSourcePathValue, sourcePath);
    dlg.m_ofn.lpstrInitialDir = sourcePath.c_str();
    if (dlg.DoModal() == IDOK) {
        m_sourcePath = dlg.GetPathName();
        key.WriteText(kSourcePathValue, m_sourcePath);
    }
    // Also after a cancel: choosing again re-reads both files.
    if (!m_sourcePath.empty() && !m_targetPath.empty()) {
        OnCompare();
    } else {
        FollowWatchedFiles();
    }
}

void CTessiverDoc::OnOpenTarget() {
    CFileDialog dlg(true, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, nullptr,
                    nullptr);
    std::string title;
    AfxLoadString(IDS_OPEN_TARGET_TITLE, title);
    dlg.m_ofn.lpstrTitle = title.c_str();
    dlg.m_ofn.lpstrFilter = kAllFilesFilter;
    if (dlg.DoModal() == IDOK) {
        m_targetPath = dlg.GetPathName();
    }
    if (!m_sourcePath.empty() && !m_targetPath.empty()) {
        OnCompare();
    } else {
        FollowWatchedFiles();
    }
}

bool CTessiverDoc::DropFiles(const std::vector<CDroppedItem>& items, DropSide side) {
    if (const std::optional<std::string> why = WhyRefused(items)) {
        AfxMessageBox(*why, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    const bool bSource = items.size() == 2 || side == DropSide::source ||
                         (side == DropSide::window && m_sourcePath.empty());
    if (items.size() == 2) {
        m_sourcePath = AfxAbsolutePath(items[0].name);
        m_targetPath = AfxAbsolutePath(items[1].name);
    } else if (bSource) {
        m_sourcePath = AfxAbsolutePath(items[0].name);
    } else {
        m_targetPath = AfxAbsolutePath(items[0].name);
    }
    if (bSource) {
        CRegistryKey(kOptionsKey, HKEY_CURRENT_USER).WriteText(kSourcePathValue, m_sourcePath);
    }
    if (!m_sourcePath.empty() && !m_targetPath.empty()) {
        // As the command shows it while it compares.
        CWaitCursor wait;
        OnCompare();
    } else {
        FollowWatchedFiles();
    }
    return true;
}

void CTessiverDoc::OnOptions() {
    CPropertySheet sheet("Options", nullptr, 0);
    // The page belongs to the application shell, which registers its class record; the
    // document creates it by name.
    const CRuntimeClass* pPageClass = AfxFindRuntimeClass("COptionsGeneral");
    std::unique_ptr<CObject> page = pPageClass != nullptr ? pPageClass->CreateObject() : nullptr;
    if (auto* pPage = dynamic_cast<CPropertyPage*>(page.get())) {
        sheet.AddPage(pPage);
    }
    sheet.DoModal();
}

bool CTessiverDoc::GetRealign() {
    if (m_nRealign < 0) {
        m_nRealign =
            CRegistryKey(kOptionsKey, HKEY_CURRENT_USER).ReadInt(kRealignValue, 0) != 0 ? 1 : 0;
    }
    return m_nRealign != 0;
}

void CTessiverDoc::OnRealignLongBlocks() {
    m_nRealign = GetRealign() ? 0 : 1;
    CRegistryKey(kOptionsKey, HKEY_CURRENT_USER)
        .WriteInt(kRealignValue, static_cast<DWORD>(m_nRealign));
    if (!m_sourcePath.empty() && !m_targetPath.empty()) {
        OnCompare();
    }
}

bool CTessiverDoc::GetWatchFiles() {
    if (m_nWatchFiles < 0) {
        m_nWatchFiles =
            CRegistryKey(kOptionsKey, HKEY_CURRENT_USER).ReadInt(kWatchFilesValue, 0) != 0 ? 1 : 0;
    }
    return m_nWatchFiles != 0;
}

void CTessiverDoc::OnWatchFiles() {
    m_nWatchFiles = GetWatchFiles() ? 0 : 1;
    CRegistryKey(kOptionsKey, HKEY_CURRENT_USER)
        .WriteInt(kWatchFilesValue, static_cast<DWORD>(m_nWatchFiles));
    for (WatchedFile& file : m_watched) {
        file.notice = DiskNotice::none;
    }
    FollowWatchedFiles();
    // Turned on, it tells at once what changed since the comparison.
    OnFilesChanged();
}

void CTessiverDoc::OnUpdateWatchFiles(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(GetWatchFiles() ? 1 : 0);
}

void CTessiverDoc::FollowWatchedFiles() {
    const std::string* shown[] = {&m_sourcePath, &m_targetPath};
    std::vector<std::string> paths;
    for (int i = 0; i < 2; ++i) {
        if (m_watched[i].path != *shown[i]) {
            m_watched[i] = {};
        } else if (!m_watched[i].path.empty()) {
            paths.push_back(m_watched[i].path);
        }
    }
    if (!GetWatchFiles()) {
        paths.clear();
    }
    m_watcher.Watch(std::move(paths), [this] { OnFilesChanged(); });
}

void CTessiverDoc::OnFilesChanged() {
    if (!GetWatchFiles()) {
        return;
    }
    for (WatchedFile& file : m_watched) {
        if (file.path.empty()) {
            continue;
        }
        // What changed stays said until the next comparison: many writes give one notice, and a
        // file deleted and made anew has changed.
        if (const CFileStamp now = AfxGetFileStamp(file.path); now != file.stamp) {
            file.notice = now.bExists ? DiskNotice::changed : DiskNotice::deleted;
        }
    }
}

DiskNotice CTessiverDoc::GetDiskNotice(bool bSource) const {
    const WatchedFile& file = m_watched[bSource ? 0 : 1];
    const std::string& shown = bSource ? m_sourcePath : m_targetPath;
    if (m_nWatchFiles != 1 || file.path.empty() || file.path != shown) {
        return DiskNotice::none;
    }
    return file.notice;
}

const CCompareOptions& CTessiverDoc::GetCompareOptions() {
    if (!m_compareOptions) {
        const CRegistryKey key(kOptionsKey, HKEY_CURRENT_USER);
        CCompareOptions options;
        for (const OptionValue value :
             {OptionValue::whitespace, OptionValue::ignoreCase, OptionValue::ignoreBlankLines,
              OptionValue::decodeUnicode}) {
            SetOptionValue(options, value, key.ReadInt(NameOf(value), 0));
        }
        m_compareOptions = options;
    }
    return *m_compareOptions;
}

void CTessiverDoc::ToggleCompareOption(CommandId id) {
    for (const auto& item : kOptionItems) {
        if (item.id != id) {
            continue;
        }
        CCompareOptions options = GetCompareOptions();
        const DWORD value = GetOptionValue(options, item.value) == item.checked ? 0 : item.checked;
        SetOptionValue(options, item.value, value);
        m_compareOptions = options;
        CRegistryKey(kOptionsKey, HKEY_CURRENT_USER).WriteInt(NameOf(item.value), value);
    }
    if (!m_sourcePath.empty() && !m_targetPath.empty()) {
        OnCompare();
    }
}

void CTessiverDoc::OnIgnoreWhitespaceChanges() {
    ToggleCompareOption(ID_IGNORE_WHITESPACE_CHANGES);
}

void CTessiverDoc::OnIgnoreAllWhitespace() {
    ToggleCompareOption(ID_IGNORE_ALL_WHITESPACE);
}

void CTessiverDoc::OnIgnoreCase() {
    ToggleCompareOption(ID_IGNORE_CASE);
}

void CTessiverDoc::OnIgnoreBlankLines() {
    ToggleCompareOption(ID_IGNORE_BLANK_LINES);
}

void CTessiverDoc::OnDecodeUnicode() {
    ToggleCompareOption(ID_DECODE_UNICODE);
}

void CTessiverDoc::OnUpdateCompareOption(CCmdUI* pCmdUI) {
    for (const auto& item : kOptionItems) {
        if (item.id == pCmdUI->m_nID) {
            pCmdUI->SetCheck(GetOptionValue(GetCompareOptions(), item.value) == item.checked ? 1
                                                                                             : 0);
        }
    }
}

void CTessiverDoc::OnUpdateEnabled(CCmdUI* pCmdUI) {
    pCmdUI->Enable(true);
}

void CTessiverDoc::OnUpdateCompare(CCmdUI* pCmdUI) {
    pCmdUI->Enable(!m_sourcePath.empty() && !m_targetPath.empty());
}

void CTessiverDoc::OnUpdateDifferenceCommand(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_pResult != nullptr && m_pResult->m_nDifferences != 0);
}

void CTessiverDoc::OnUpdateDisabled(CCmdUI* pCmdUI) {
    pCmdUI->Enable(false);
}

// A side's pane shows its path and, until the next comparison, why that comparison could not
// open it: the table alone would show such a file as empty.
std::string CTessiverDoc::PaneText(const std::string& path, bool bSource) const {
    const std::optional<COpenFailure>& failure = m_comparer.GetOpenFailure();
    if (!failure || failure->bSource != bSource || failure->path != path) {
        return path;
    }
    return FormatString(IDS_CANNOT_OPEN, {path, failure->reason});
}

// After a pane's usual text, while the files are watched, what happened to its file on disk
// since the comparison.
std::string CTessiverDoc::WithDiskNotice(std::string text, bool bSource) const {
    switch (GetDiskNotice(bSource)) {
        case DiskNotice::changed:
            return text + FormatString(IDS_CHANGED_ON_DISK, {});
        case DiskNotice::deleted:
            return text + FormatString(IDS_DELETED_ON_DISK, {});
        case DiskNotice::none:
            break;
    }
    return text;
}

void CTessiverDoc::OnUpdateSourcePane(CCmdUI* pCmdUI) {
    pCmdUI->SetText(
        WithDiskNotice(WithEncoding(PaneText(m_sourcePath, true), m_comparer.GetSourceEncoding(),
                                    GetCompareOptions().bDecodeUnicode),
                       true));
}

// After the paths, while an option is on, the options, so that the user can tell why lines that
// differ count as equal.
void CTessiverDoc::OnUpdateTargetPane(CCmdUI* pCmdUI) {
    std::string text = WithEncoding(PaneText(m_targetPath, false), m_comparer.GetTargetEncoding(),
                                    GetCompareOptions().bDecodeUnicode);
    if (const std::string flags = FormatOptionFlags(GetCompareOptions()); !flags.empty()) {
        text += (text.empty() ? "[" : " [") + flags + "]";
    }
    pCmdUI->SetText(WithDiskNotice(std::move(text), false));
}

void CTessiverDoc::OnUpdateRealignLongBlocks(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(GetRealign() ? 1 : 0);
}
