#include "document/TessiverDoc.h"

#include <algorithm>
#include <utility>

#include "framework/CmdUI.h"
#include "resources/Resource.h"

const CRuntimeClass CTessiverDoc::runtimeClass{"CTessiverDoc", &CDocument::runtimeClass,
                                               &CreateRuntimeObject<CTessiverDoc>};

const CommandMap* CTessiverDoc::ThisMessageMap() {
    static constexpr CommandMapEntry entries[] = {
        CommandEntry<&CTessiverDoc::OnCompare, &CTessiverDoc::OnUpdateCompare>(ID_COMPARE),
        CommandEntry<&CTessiverDoc::OnNextDifference, &CTessiverDoc::OnUpdateDifferenceCommand>(
            ID_NEXT_DIFFERENCE),
        CommandEntry<&CTessiverDoc::OnPreviousDifference, &CTessiverDoc::OnUpdateDifferenceCommand>(
            ID_PREVIOUS_DIFFERENCE),
        CommandEntry<&CTessiverDoc::OnSwapFiles>(ID_SWAP_FILES),
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
}

void CTessiverDoc::OnCompare() {
    m_nTopRow = 0;
    m_comparer.SetFiles(m_sourcePath, m_targetPath);
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
    m_nTopRow = i;
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
    m_nTopRow = i;
    m_nCurrentDiff = i;
    UpdateAllViews(nullptr, 0, nullptr);
}

void CTessiverDoc::OnSwapFiles() {
    std::string source = m_sourcePath;
    m_sourcePath = m_targetPath;
    m_targetPath = source;
    OnCompare();
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

void CTessiverDoc::OnUpdateSourcePane(CCmdUI* pCmdUI) {
    pCmdUI->SetText(m_sourcePath);
}

void CTessiverDoc::OnUpdateTargetPane(CCmdUI* pCmdUI) {
    pCmdUI->SetText(m_targetPath);
}
