#include "document/TessiverDoc.h"

#include <algorithm>
#include <utility>

#include "document/FindDialogs.h"
#include "document/RegistryKey.h"
#include "engine/ExportSink.h"
#include "engine/HtmlReport.h"
#include "engine/UnifiedDiff.h"
#include "framework/core/CmdUI.h"
#include "framework/core/Resources.h"
#include "framework/dialog/ProgressDialog.h"
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
        CommandEntry<&CTessiverDoc::OnExportUnified, &CTessiverDoc::OnUpdateExport>(
            ID_EXPORT_UNIFIED),
        CommandEntry<&CTessiverDoc::OnExportHtml, &CTessiverDoc::OnUpdateExport>(ID_EXPORT_HTML),
        CommandEntry<&CTessiverDoc::OnInlineChanges, &CTessiverDoc::OnUpdateInlineChanges>(
            ID_INLINE_CHANGES),
        CommandEntry<&CTessiverDoc::OnLocationMap, &CTessiverDoc::OnUpdateLocationMap>(
            ID_VIEW_LOCATION_MAP),
        CommandEntry<&CTessiverDoc::OnRowUp>(ID_ROW_UP),
        CommandEntry<&CTessiverDoc::OnRowDown>(ID_ROW_DOWN),
        CommandEntry<&CTessiverDoc::OnPageUp>(ID_PAGE_UP),
        CommandEntry<&CTessiverDoc::OnPageDown>(ID_PAGE_DOWN),
        CommandEntry<&CTessiverDoc::OnFirstRow>(ID_FIRST_ROW),
        CommandEntry<&CTessiverDoc::OnLastRow>(ID_LAST_ROW),
        CommandEntry<&CTessiverDoc::OnStepLeft>(ID_STEP_LEFT),
        CommandEntry<&CTessiverDoc::OnStepRight>(ID_STEP_RIGHT),
        CommandEntry<&CTessiverDoc::OnLeftEdge>(ID_LEFT_EDGE),
        CommandEntry<&CTessiverDoc::OnLineEnd>(ID_LINE_END),
        CommandEntry<&CTessiverDoc::OnWatchFiles, &CTessiverDoc::OnUpdateWatchFiles>(
            ID_WATCH_FILES),
        CommandEntry<&CTessiverDoc::OnFind, &CTessiverDoc::OnUpdateFind>(ID_EDIT_FIND),
        CommandEntry<&CTessiverDoc::OnFindNext, &CTessiverDoc::OnUpdateFind>(ID_EDIT_FIND_NEXT),
        CommandEntry<&CTessiverDoc::OnFindPrevious, &CTessiverDoc::OnUpdateFind>(ID_EDIT_FIND_PREV),
        CommandEntry<&CTessiverDoc::OnGoToLine, &CTessiverDoc::OnUpdateFind>(ID_EDIT_GOTO_LINE),
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

std::unique_ptr<CCompareResult> CTessiverDoc::SetResult(std::unique_ptr<CCompareResult> table) {
    m_inline.Clear();
    m_locationMap.Clear();
    m_found.reset();
    std::swap(m_pResult, table);
    return table;
}

void CTessiverDoc::SetPaths(std::string sourcePath, std::string targetPath) {
    m_sourcePath = std::move(sourcePath);
    m_targetPath = std::move(targetPath);
    FollowWatchedFiles();
}

namespace {

// How long a comparison runs before the "Comparing" dialog shows, in milliseconds.
constexpr int kProgressDelay = 500;

// The name of the file at path, without its folders.
std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What the "Comparing" dialog says at each stage, loaded before the comparison starts.
struct CProgressTexts {
    std::string readingSource;
    std::string readingTarget;
    std::string aligning;
    std::string building;

    CProgressTexts(const std::string& sourcePath, const std::string& targetPath) {
        std::string reading;
        AfxLoadString(IDS_PROGRESS_READING, reading);
        const std::size_t at = reading.find("%s");
        for (auto [pText, path] :
             {std::pair{&readingSource, &sourcePath}, std::pair{&readingTarget, &targetPath}}) {
            *pText = reading;
            if (at != std::string::npos) {
                pText->replace(at, 2, FileNameOf(*path));
            }
        }
        AfxLoadString(IDS_PROGRESS_ALIGNING, aligning);
        AfxLoadString(IDS_PROGRESS_BUILDING, building);
    }

    // The dialog's status for progress: the file still being read (the source first, as both
    // are read at once) and the bytes read of both files' sizes, not known where a size is not
    // (a pipe); then the stage's work.
    void Show(const CCompareProgress& progress, CProgressDialog& dialog) const {
        switch (progress.stage) {
            case CompareStage::reading: {
                const bool bKnown = progress.sourceSize != 0 && progress.targetSize != 0;
                dialog.SetStatus(progress.bSourceDone ? readingTarget : readingSource,
                                 progress.sourceRead + progress.targetRead,
                                 bKnown ? progress.sourceSize + progress.targetSize : 0);
                break;
            }
            case CompareStage::aligning:
                dialog.SetStatus(aligning, progress.done, progress.total);
                break;
            case CompareStage::building:
                dialog.SetStatus(building, progress.done, progress.total);
                break;
        }
    }
};

}  // namespace

void CTessiverDoc::TakeFileOutcome() {
    m_openFailure = m_comparer.GetOpenFailure();
    m_sourceEncoding = m_comparer.GetSourceEncoding();
    m_targetEncoding = m_comparer.GetTargetEncoding();
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
    // leave the panes pointing at it, and the panes may paint while it runs.
    m_pResult.reset();
    m_inline.Clear();  // its rows are the old table's, whatever the new one holds
    m_locationMap.Clear();
    m_found.reset();
    m_openFailure.reset();
    m_sourceEncoding = TextEncoding::bytes;
    m_targetEncoding = TextEncoding::bytes;

    // The comparison runs on a thread of its own; once it has run for a while, the "Comparing"
    // dialog shows how far it has come and can cancel it.
    CProgressDialog progress(IDD_COMPARING, IDC_COMPARING_TEXT, IDC_COMPARING_BAR);
    const CProgressTexts texts(m_sourcePath, m_targetPath);
    m_comparer.SetCancelFlag(&progress.GetCancelFlag());
    m_comparer.SetProgressHandler(
        [&texts, &progress](const CCompareProgress& p) { texts.Show(p, progress); });
    struct CForget {
        CLineComparer& comparer;
        ~CForget() {
            comparer.SetCancelFlag(nullptr);
            comparer.SetProgressHandler({});
        }
    } forget{m_comparer};
    std::unique_ptr<CCompareResult> pResult;
    try {
        progress.Run([this, &pResult] { pResult = m_comparer.Compare(); }, kProgressDelay);
    } catch (const CCompareCancelled&) {
        // The user asked for it: no message, and the window as after a comparison without a
        // result.
        TakeFileOutcome();
        m_nCurrentDiff = 0;
        UpdateAllViews(nullptr, 0, nullptr);
        return;
    } catch (...) {
        TakeFileOutcome();
        m_nCurrentDiff = 0;
        UpdateAllViews(nullptr, 0, nullptr);
        throw;
    }
    TakeFileOutcome();
    m_pResult = std::move(pResult);
    // The current difference survives a comparison only while it names a row of the new table.
    if (!m_pResult || m_nCurrentDiff >= m_pResult->GetRowCount()) {
        m_nCurrentDiff = 0;
    }
    UpdateAllViews(nullptr, 0, nullptr);
}

// The keys that move both panes, as the splitter's bars do.
void CTessiverDoc::OnRowUp() {
    m_scroll.MoveRows(SB_LINEUP);
}

void CTessiverDoc::OnRowDown() {
    m_scroll.MoveRows(SB_LINEDOWN);
}

void CTessiverDoc::OnPageUp() {
    m_scroll.MoveRows(SB_PAGEUP);
}

void CTessiverDoc::OnPageDown() {
    m_scroll.MoveRows(SB_PAGEDOWN);
}

void CTessiverDoc::OnFirstRow() {
    m_scroll.MoveRows(SB_TOP);
}

void CTessiverDoc::OnLastRow() {
    m_scroll.MoveRows(SB_BOTTOM);
}

void CTessiverDoc::OnStepLeft() {
    m_scroll.MoveShift(SB_LINELEFT);
}

void CTessiverDoc::OnStepRight() {
    m_scroll.MoveShift(SB_LINERIGHT);
}

void CTessiverDoc::OnLeftEdge() {
    m_scroll.ShowLineStarts();
}

void CTessiverDoc::OnLineEnd() {
    m_scroll.ShowLongestLineEnd();
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
constexpr const char* kInlineChangesValue = "InlineChanges";
constexpr const char* kLocationMapValue = "LocationMap";
constexpr const char* kWatchFilesValue = "WatchFiles";
constexpr const char* kSourcePathValue = "Source Path";

// A check item's setting, a DWORD under the Options key, 0 or 1 in cached once read (-1 before).
bool ReadSwitch(std::int32_t& cached, const char* value) {
    if (cached < 0) {
        cached = CRegistryKey(kOptionsKey, HKEY_CURRENT_USER).ReadInt(value, 0) != 0 ? 1 : 0;
    }
    return cached != 0;
}

// Turns the setting over and stores it.
void FlipSwitch(std::int32_t& cached, const char* value) {
    cached = ReadSwitch(cached, value) ? 0 : 1;
    CRegistryKey(kOptionsKey, HKEY_CURRENT_USER).WriteInt(value, static_cast<DWORD>(cached));
}

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

void CTessiverDoc::OnExportUnified() {
    Export(ID_EXPORT_UNIFIED);
}

void CTessiverDoc::OnExportHtml() {
    Export(ID_EXPORT_HTML);
}

void CTessiverDoc::OnUpdateExport(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_pResult != nullptr);
}

namespace {

// An export's bytes, kept whole until they are written.
class CStringSink : public CExportSink {
public:
    void Write(std::string_view bytes) override { m_text.append(bytes); }
    const std::string& GetText() const { return m_text; }

private:
    std::string m_text;
};

// The folder part of a path, its last separator (either kind) left out.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The string resource id with its one %s filled in.
std::string FormatString(std::uint32_t id, const std::string& text) {
    std::string format;
    AfxLoadString(id, format);
    const std::size_t at = format.find("%s");
    return at == std::string::npos ? format : format.replace(at, 2, text);
}

}  // namespace

void CTessiverDoc::Export(CommandId id) {
    if (!m_pResult) {
        return;
    }
    const bool bUnified = id == ID_EXPORT_UNIFIED;
    // The lines must give back the files' bytes before a diff is worth a file name.
    if (bUnified) {
        if (const std::string obstacle =
                FindUnifiedDiffObstacle(m_comparer, m_sourcePath, m_targetPath);
            !obstacle.empty()) {
            AfxMessageBox(FormatString(IDS_CANNOT_EXPORT, obstacle));
            return;
        }
    }
    std::string title;
    AfxLoadString(bUnified ? IDS_EXPORT_UNIFIED_TITLE : IDS_EXPORT_HTML_TITLE, title);
    std::string filter;
    AfxLoadString(bUnified ? IDS_EXPORT_UNIFIED_FILTER : IDS_EXPORT_HTML_FILTER, filter);
    CFileDialog dlg(false, bUnified ? "diff" : "html", nullptr,
                    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter.c_str(), nullptr);
    dlg.m_ofn.lpstrTitle = title.c_str();
    const char* const folderValue = bUnified ? "Unified Diff Folder" : "HTML Report Folder";
    CRegistryKey key(kOptionsKey, HKEY_CURRENT_USER);
    std::string folder;
    key.ReadText(folderValue, folder);
    dlg.m_ofn.lpstrInitialDir = folder.c_str();
    if (dlg.DoModal() != IDOK) {
        return;
    }
    const std::string path = dlg.GetPathName();
    key.WriteText(folderValue, FolderOf(path));

    CStringSink sink;
    if (bUnified) {
        WriteUnifiedDiff(*m_pResult, FormatUnifiedLabel(m_sourcePath),
                         FormatUnifiedLabel(m_targetPath), kDefaultUnifiedContext, sink);
    } else {
        WriteHtmlReport(m_pResult.get(), m_sourcePath, m_targetPath, kHtmlAllRows, sink);
    }
    if (!WriteExportFile(path, sink.GetText())) {
        AfxMessageBox(FormatString(IDS_CANNOT_WRITE, path));
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
    return ReadSwitch(m_nRealign, kRealignValue);
}

void CTessiverDoc::OnRealignLongBlocks() {
    FlipSwitch(m_nRealign, kRealignValue);
    if (!m_sourcePath.empty() && !m_targetPath.empty()) {
        OnCompare();
    }
}

bool CTessiverDoc::GetWatchFiles() {
    return ReadSwitch(m_nWatchFiles, kWatchFilesValue);
}

void CTessiverDoc::OnWatchFiles() {
    FlipSwitch(m_nWatchFiles, kWatchFilesValue);
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
    const std::optional<COpenFailure>& failure = m_openFailure;
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
    pCmdUI->SetText(WithDiskNotice(WithEncoding(PaneText(m_sourcePath, true), m_sourceEncoding,
                                                GetCompareOptions().bDecodeUnicode),
                                   true));
}

// After the paths, while an option is on, the options, so that the user can tell why lines that
// differ count as equal.
void CTessiverDoc::OnUpdateTargetPane(CCmdUI* pCmdUI) {
    std::string text = WithEncoding(PaneText(m_targetPath, false), m_targetEncoding,
                                    GetCompareOptions().bDecodeUnicode);
    if (const std::string flags = FormatOptionFlags(GetCompareOptions()); !flags.empty()) {
        text += (text.empty() ? "[" : " [") + flags + "]";
    }
    pCmdUI->SetText(WithDiskNotice(std::move(text), false));
}

bool CTessiverDoc::GetInlineChanges() {
    return ReadSwitch(m_nInlineChanges, kInlineChangesValue);
}

// Only the drawing changes: the panes repaint from the same table.
void CTessiverDoc::OnInlineChanges() {
    FlipSwitch(m_nInlineChanges, kInlineChangesValue);
    UpdateAllViews(nullptr, 0, nullptr);
}

void CTessiverDoc::OnUpdateInlineChanges(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(GetInlineChanges() ? 1 : 0);
}

bool CTessiverDoc::GetLocationMap() {
    return ReadSwitch(m_nLocationMap, kLocationMapValue);
}

// Only the drawing changes: the target pane repaints with or without the strip.
void CTessiverDoc::OnLocationMap() {
    FlipSwitch(m_nLocationMap, kLocationMapValue);
    UpdateAllViews(nullptr, 0, nullptr);
}

void CTessiverDoc::OnUpdateLocationMap(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(GetLocationMap() ? 1 : 0);
}

const CLocationMap* CTessiverDoc::GetLocationMap(int height) {
    if (!m_pResult) {
        return nullptr;
    }
    if (!m_locationMap.IsBuilt(height)) {
        m_locationMap.Build(*m_pResult, height);
    }
    return &m_locationMap;
}

const CInlineChanges* CTessiverDoc::GetRowChanges(std::int32_t row, std::size_t looked) {
    return m_pResult ? m_inline.Find(*m_pResult, row, looked) : nullptr;
}

void CTessiverDoc::OnUpdateRealignLongBlocks(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(GetRealign() ? 1 : 0);
}

void CTessiverDoc::OnUpdateFind(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_pResult != nullptr && m_pResult->GetRowCount() != 0);
}

void CTessiverDoc::OnFind() {
    CFindDialog dialog(m_lastQuery.value_or(CTextQuery{}));
    if (dialog.DoModal() != IDOK || dialog.m_query.text.empty()) {
        return;
    }
    m_lastQuery = dialog.m_query;
    FindAgain(true);
}

void CTessiverDoc::OnFindNext() {
    if (m_lastQuery) {
        FindAgain(true);
    } else {
        OnFind();
    }
}

void CTessiverDoc::OnFindPrevious() {
    if (m_lastQuery) {
        FindAgain(false);
    } else {
        OnFind();
    }
}

bool CTessiverDoc::FindAgain(bool bForward) {
    if (!m_pResult || !m_lastQuery) {
        return false;
    }
    std::optional<CTextMatch> match;
    {
        const CWaitCursor wait;
        match = FindInTable(*m_pResult, *m_lastQuery, m_scroll.GetTopRow(), bForward);
    }
    m_found.reset();
    if (match) {
        // The row found goes on top, as the next difference does, and the next difference is
        // looked for from there.
        m_scroll.SetTopRow(match->row);
        m_nCurrentDiff = match->row;
        // Shifted into view where the line is longer than the panes show.
        const std::string_view raw =
            (match->bSource ? m_pResult->m_sourceText : m_pResult->m_targetText)
                .GetRaw(static_cast<std::size_t>(match->row));
        m_scroll.ShowColumns(ShownColumns(raw.substr(0, match->begin)),
                             ShownColumns(raw.substr(0, match->end)));
        m_found = match;  // after the shift, which ends the mark of a search
    }
    UpdateAllViews(nullptr, 0, nullptr);
    if (!match) {
        AfxMessageBox(FormatString(IDS_TEXT_NOT_FOUND, {m_lastQuery->text}));
    }
    return match.has_value();
}

void CTessiverDoc::OnGoToLine() {
    CGoToLineDialog dialog(m_bGoToSource);
    if (dialog.DoModal() != IDOK || dialog.m_nLine == 0) {
        return;
    }
    m_bGoToSource = dialog.m_bSource;
    GoToLine(dialog.m_bSource, dialog.m_nLine);
}

void CTessiverDoc::GoToLine(bool bSource, std::int64_t line) {
    if (!m_pResult) {
        return;
    }
    const std::int32_t row = RowOfLine(*m_pResult, bSource, line);
    if (row < 0) {
        return;
    }
    m_found.reset();
    m_scroll.SetTopRow(row);
    m_nCurrentDiff = row;
    UpdateAllViews(nullptr, 0, nullptr);
}

const CTextMatch* CTessiverDoc::GetFoundMatch(std::int32_t row, bool bSource) const {
    return m_found && m_found->row == row && m_found->bSource == bSource ? &*m_found : nullptr;
}
