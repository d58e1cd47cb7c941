#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/CompareResult.h"
#include "engine/LineComparer.h"
#include "framework/core/Document.h"
#include "framework/draw/Font.h"

class CCmdUI;

// The one document: the two paths, the engine, the current result, and the scroll state and
// font that both panes share. Carries the comparison commands.
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

    // Update handlers.
    void OnUpdateEnabled(CCmdUI* pCmdUI);
    void OnUpdateCompare(CCmdUI* pCmdUI);
    void OnUpdateDifferenceCommand(CCmdUI* pCmdUI);
    void OnUpdateDisabled(CCmdUI* pCmdUI);
    void OnUpdateSourcePane(CCmdUI* pCmdUI);
    void OnUpdateTargetPane(CCmdUI* pCmdUI);
    void OnUpdateRealignLongBlocks(CCmdUI* pCmdUI);

    // Whether comparisons realign after long blocks: the user's setting, read from the registry
    // the first time it is needed.
    bool GetRealign();

    std::unique_ptr<CCompareResult> m_pResult;  // the last comparison's table; null when none
    CLineComparer m_comparer;
    std::int32_t m_nTopRow = 0;  // row drawn on the top line of both panes
    std::string m_sourcePath;
    std::string m_targetPath;
    std::int32_t m_nCurrentDiff = 0;  // where the last next/previous search ended
    CFont m_font;                     // both panes draw with it
    std::int32_t m_nLineHeight = 16;  // row pitch in pixels; never changes
    std::int32_t m_nLeftOffset = 0;   // horizontal shift of both panes, 0 or negative
    std::int32_t m_nRealign = -1;     // the realign setting, 0 or 1; -1 until it is read

    static const CommandMap* ThisMessageMap();

protected:
    std::string PaneText(const std::string& path, bool bSource) const;

    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }
};
