#pragma once

#include "display/SyncSplitter.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/StatusBar.h"
#include "framework/window/ToolBar.h"

// The main window: a toolbar docked at the top, a status bar of two panes (source path, target
// path; half the width each) and the splitter with the source pane left and the target pane
// right. The caption is the program's title alone. Files may be dropped on it. The placement is
// restored at the first show and stored, with the toolbar state, at every close request.
class CMainFrame : public CFrameWnd {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    CMainFrame();
    ~CMainFrame() override;

    bool PreCreateWindow(CREATESTRUCT& cs) override;
    bool OnCreateClient(CREATESTRUCT* lpcs, CCreateContext* pContext) override;
    int OnCreate(CREATESTRUCT* lpCreateStruct) override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnShowWindow(bool bShow, UINT nStatus) override;
    void OnClose() override;
    // Files dropped on the window go to the document: on the left pane for the source, on the
    // right pane for the target, elsewhere for the window as a whole.
    void OnDropFiles(const CDropFiles& drop) override;

    CSyncSplitter m_wndSplitter;
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;

    // Set until the first main frame handles its first show; never set again by the program
    // (tests that build several frames set it back).
    static inline int s_bFirstShow = 1;
};
