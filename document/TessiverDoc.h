#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/ScrollState.h"
#include "engine/CompareResult.h"
#include "engine/LineComparer.h"
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
    void OnWatchFiles();

    // Update handlers.
    void OnUpdateEnabled(CCmdUI* pCmdUI);
    void OnUpdateCompare(CCmdUI* pCmdUI);
    void OnUpdateDifferenceCommand(CCmdUI* pCmdUI);
    void OnUpdateDisabled(CCmdUI* pCmdUI);
    void OnUpdateSourcePane(CCmdUI* pCmdUI);
    void OnUpdateTargetPane(CCmdUI* pCmdUI);
    void OnUpdateRealignLongBlocks(CCmdUI* pCmdUI);
    void OnUpdateCompareOption(CCmdUI* pCmdUI);
    void OnUpdateWatchFiles(CCmdUI* pCmdUI);

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

    std::unique_ptr<CCompareResult> m_pResult;  // the last comparison's table; null when none
    CLineComparer m_comparer;
    std::string m_sourcePath;
    std::string m_targetPath;
    std::int32_t m_nCurrentDiff = 0;  // where the last next/previous search ended
    CFont m_font;                     // both panes draw with it
    std::int32_t m_nLineHeight = 16;  // row pitch in pixels; never changes
    CScrollState m_scroll{*this};     // the top row and the shift of both panes
    std::int32_t m_nRealign = -1;     // the realign setting, 0 or 1; -1 until it is read
    std::optional<CCompareOptions> m_compareOptions;  // the options chosen; unset until read
    std::int32_t m_nWatchFiles = -1;  // the watch setting, 0 or 1; -1 until it is read

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
    // Watches the files of the last comparison that the panes still show, while the setting is
    // on; forgets the others.
    void FollowWatchedFiles();
    // Chooses the option of the View menu item id, or clears it when it is chosen, stores it and
    // compares again when both files are known.
    void ToggleCompareOption(CommandId id);
};
