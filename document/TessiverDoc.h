#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/InlineCache.h"
#include "document/LocationMap.h"
#include "document/ScrollState.h"
#include "engine/CompareResult.h"
#include "engine/LineComparer.h"
#include "engine/TextSearch.h"
#include "framework/core/FileAccess.h"
#include "framework/draw/Font.h"
#include "framework/window/Document.h"
#include "framework/window/FileWatcher.h"
#include "framework/window/Wnd.h"

class CCmdUI;

// Where files were dropped: on the source's pane, on the target's, or elsewhere on the window.
enum class DropSide { window, source, target };

// What a status pane says of its file after the comparison, while the user watches the files.
enum class DiskNotice { none, changed, deleted };

// The one document: the two paths, the engine, the current result, and the scroll state and
// font that both panes share. Carries the comparison commands, which move the top row.
class CTessiverDoc : public CDocument {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    CTessiverDoc();
    ~CTessiverDoc() override;

    void Serialize(CArchive& ar) override;
    bool OnNewDocument() override;

    // Puts table in place of the current result, which it gives back; nothing else (no redraw).
    // Whatever replaces the result goes through here or OnCompare, which forget what was worked
    // out for the rows of the old one.
    std::unique_ptr<CCompareResult> SetResult(std::unique_ptr<CCompareResult> table);

    // Stores both paths; nothing else (no comparison, no redraw).
    void SetPaths(std::string sourcePath, std::string targetPath);

    // Command handlers.
    void OnCompare();
    void OnNextDifference();
    void OnPreviousDifference();
    void OnSwapFiles();
    void OnOpenSource();
    void OnOpenTarget();
    void OnOptions();
    void OnRealignLongBlocks();
    void OnIgnoreWhitespaceChanges();
    void OnIgnoreAllWhitespace();
    void OnIgnoreCase();
    void OnIgnoreBlankLines();
    void OnDecodeUnicode();
    void OnExportUnified();
    void OnExportHtml();
    void OnInlineChanges();
    void OnLocationMap();
    void OnRowUp();
    void OnRowDown();
    void OnPageUp();
    void OnPageDown();
    void OnFirstRow();
    void OnLastRow();
    void OnStepLeft();
    void OnStepRight();
    void OnLeftEdge();
    void OnLineEnd();
    void OnWatchFiles();
    void OnFind();
    void OnFindNext();
    void OnFindPrevious();
    void OnGoToLine();

    // Update handlers.
    void OnUpdateEnabled(CCmdUI* pCmdUI);
    void OnUpdateCompare(CCmdUI* pCmdUI);
    void OnUpdateDifferenceCommand(CCmdUI* pCmdUI);
    void OnUpdateDisabled(CCmdUI* pCmdUI);
    void OnUpdateSourcePane(CCmdUI* pCmdUI);
    void OnUpdateTargetPane(CCmdUI* pCmdUI);
    void OnUpdateRealignLongBlocks(CCmdUI* pCmdUI);
    void OnUpdateCompareOption(CCmdUI* pCmdUI);
    void OnUpdateExport(CCmdUI* pCmdUI);
    void OnUpdateInlineChanges(CCmdUI* pCmdUI);
    void OnUpdateLocationMap(CCmdUI* pCmdUI);
    void OnUpdateWatchFiles(CCmdUI* pCmdUI);
    void OnUpdateFind(CCmdUI* pCmdUI);

    // Looks for the last Find's text from the row after the top row (forward) or before it,
    // wrapping once, with the wait cursor: the row found goes on top, its match marked until the
    // next scroll or search. Finding nothing says so in one message box. Returns whether it found.
    bool FindAgain(bool bForward);
    // Puts on top the row holding line (from 1) of the side, or that side's last line when the
    // number is past its end.
    void GoToLine(bool bSource, std::int64_t line);
    // The match to mark on a row's side; null unless the last search found it there.
    const CTextMatch* GetFoundMatch(std::int32_t row, bool bSource) const;

    // Takes files dropped on the window. Two become the source and the target, in the order the
    // drop lists them; one dropped on a pane becomes that side, and elsewhere fills the first side
    // not chosen yet, or else replaces the target. A file that becomes the source is remembered
    // as File > Open Source remembers it, and once both sides are chosen they are compared as F5
    // compares them. A drop of more than two things, of a folder, of a file that cannot be found
    // or of anything that is not a file on this computer is refused with one message box and
    // changes nothing. Returns whether the drop was taken. The dropped files are only read.
    bool DropFiles(const std::vector<CDroppedItem>& items, DropSide side);

    // Whether the files of the comparison are watched (View > Watch Files): the user's setting,
    // read from the registry the first time it is needed.
    bool GetWatchFiles();
    // Looks at the compared files again and notes what changed since the comparison: the
    // watcher calls it when the system says they, or their folders, changed.
    void OnFilesChanged();
    // What the side's status pane says of its file now (none while not watching).
    DiskNotice GetDiskNotice(bool bSource) const;

    // Whether comparisons realign after long blocks: the user's setting, read from the registry
    // the first time it is needed.
    bool GetRealign();
    // The comparison options the user chose (View menu), read from the registry the first time
    // they are needed.
    const CCompareOptions& GetCompareOptions();
    // Whether the panes mark what differs within changed lines (View menu): the user's setting,
    // read from the registry the first time it is needed. It changes only what is drawn.
    bool GetInlineChanges();
    // The changes within a row of the current result for a pane showing `looked` bytes of each
    // text (see CInlineCache::Find); null when there is no result or nothing to mark there.
    const CInlineChanges* GetRowChanges(std::int32_t row, std::size_t looked);
    // Whether the target pane shows the location map (View menu): the user's setting, read from
    // the registry the first time it is needed. It changes only what is drawn.
    bool GetLocationMap();
    // The location map of the current result for a strip `height` pixels tall, built when the
    // table or the height has changed since it was last asked for; null when there is no result.
    const CLocationMap* GetLocationMap(int height);

    // The last comparison's table; null when none. Replaced through SetResult or OnCompare.
    std::unique_ptr<CCompareResult> m_pResult;
    // Runs the comparisons, off the interface thread: only OnCompare touches it.
    CLineComparer m_comparer;
    // What the last comparison found as it opened and read the files, for the status panes.
    std::optional<COpenFailure> m_openFailure;
    TextEncoding m_sourceEncoding = TextEncoding::bytes;
    TextEncoding m_targetEncoding = TextEncoding::bytes;
    std::string m_sourcePath;
    std::string m_targetPath;
    std::int32_t m_nCurrentDiff = 0;  // where the last next/previous search ended
    CFont m_font;                     // both panes draw with it
    std::int32_t m_nLineHeight = 16;  // row pitch in pixels; never changes
    CScrollState m_scroll{*this};     // the top row and the shift of both panes
    std::int32_t m_nRealign = -1;     // the realign setting, 0 or 1; -1 until it is read
    std::optional<CCompareOptions> m_compareOptions;  // the options chosen; unset until read
    std::int32_t m_nInlineChanges = -1;     // the marking setting, 0 or 1; -1 until it is read
    CInlineCache m_inline;                  // the changes within the rows last painted
    std::int32_t m_nLocationMap = -1;       // the location map setting, 0 or 1; -1 until it is read
    CLocationMap m_locationMap;             // for the current result, at the height last painted
    std::int32_t m_nWatchFiles = -1;        // the watch setting, 0 or 1; -1 until it is read
    std::optional<CTextQuery> m_lastQuery;  // what Edit > Find last looked for
    std::optional<CTextMatch> m_found;      // marked until the next scroll, search or table
    bool m_bGoToSource = true;              // the side Go To Line last counted on

    // A file of the last comparison as it was when the comparison read it, and what changed
    // since. Its path is cleared once the side shows another file.
    struct WatchedFile {
        std::string path;
        CFileStamp stamp;
        DiskNotice notice = DiskNotice::none;
    };
    WatchedFile m_watched[2];  // the source, the target
    CFileWatcher m_watcher;    // on the watched files while the setting is on

    static const CommandMap* ThisMessageMap();

protected:
    std::string PaneText(const std::string& path, bool bSource) const;
    std::string WithDiskNotice(std::string text, bool bSource) const;

    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }

private:
    // Takes what the comparer found about the files, once it has ended.
    void TakeFileOutcome();

    // Watches the files of the last comparison that the panes still show, while the setting is
    // on; forgets the others.
    void FollowWatchedFiles();
    // Chooses the option of the View menu item id, or clears it when it is chosen, stores it and
    // compares again when both files are known.
    void ToggleCompareOption(CommandId id);
    // Asks where to write an export of the current result (the dialog starting in the folder the
    // last one of its kind was written to), then writes it whole or not at all; a message box says
    // when it cannot be written.
    void Export(CommandId id);
};
