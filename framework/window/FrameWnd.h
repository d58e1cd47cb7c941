#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/window/View.h"
#include "framework/window/WindowPlacement.h"
#include "framework/window/Wnd.h"

class CCmdUI;
class CControlBar;
class CDocument;
class CView;
struct CCreateContext;

// Frame styles.
constexpr DWORD FWS_ADDTOTITLE = 0x00008000;

// The main window. Routes commands: active view (and its document), then its own table, then
// the application. Keeps the menu items, toolbar buttons and status panes bound to command
// identifiers and refreshes them from the update handlers when the event loop goes idle and
// before a menu opens. Its menu and accelerators come from the frame's resource: menu item texts
// show their shortcut text, but only the accelerator table binds keys.
class CFrameWnd : public CWnd {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    CFrameWnd();
    ~CFrameWnd() override;

    CView* GetActiveView() const { return m_pActiveView; }
    void SetActiveView(CView* pView, bool bNotify = true);
    CDocument* GetActiveDocument() const;

    bool OnCmdMsg(CommandId id, CmdQuery q, CCmdUI* pCmdUI) override;

    // Creates the frame's window from resource nIDResource (title from its string, icon, menu,
    // accelerators), then its client area and bars through OnCreate.
    virtual bool LoadFrame(UINT nIDResource, CCreateContext* pContext);
    // May change the style before the window is created (FWS_ADDTOTITLE: the caption carries
    // the document's title).
    virtual bool PreCreateWindow(CREATESTRUCT& cs);
    // Window creation; the default builds the client area through OnCreateClient. 0 on success,
    // -1 to fail the creation.
    virtual int OnCreate(CREATESTRUCT* lpCreateStruct);
    // Builds the client area; the default creates one view of the context's view class.
    virtual bool OnCreateClient(CREATESTRUCT* pcs, CCreateContext* pContext);
    // Gives every view of the frame's document its initial update.
    void InitialUpdateFrame(CDocument* pDoc, bool bMakeVisible);
    // Sets the caption from the title (and the document's title with FWS_ADDTOTITLE).
    void OnUpdateFrameTitle();
    std::string GetWindowText() const;
    const std::string& GetTitle() const { return m_strTitle; }
    DWORD GetStyle() const { return m_dwStyle; }

    // A user-interface element that shows the state of command id: apply receives what the
    // update handlers said each time the frame refreshes.
    void BindCommandUI(CommandId id, std::function<void(const CCmdUI&)> apply);
    // Runs the update handler of every bound element and applies the result.
    void OnIdleUpdateCmdUI();
    // Carries out a command raised from a menu, a button, a key or a command message, only while
    // its update handler leaves it enabled. Returns whether it ran. A wait cursor shows while it
    // runs (lifted during its dialogs); no exception leaves it.
    bool OnCommand(CommandId id);
    // Queues a command message; it is carried out from the event loop, like OnCommand.
    void PostCommand(CommandId id);
    // Queues a call for pWnd (a posted window message); dropped if pWnd's window is gone.
    void PostCall(CWnd* pWnd, std::function<void()> call);

    // Control bars, found by their window identifiers.
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    CControlBar* GetControlBar(UINT nID) const;
    void ShowControlBar(CControlBar* pBar, bool bShow, bool bDelay);
    void EnableDocking(DWORD dwDockStyle);
    // Docks the bar on the side its style names (or nDockBarID's side when given).
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, const CRect* lpRect = nullptr);
    // Stores the bars' state in the application profile, in the sections "<name>-Summary" and
    // "<name>-Bar<n>".
    void SaveBarState(const std::string& profileName) const;

    bool GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const;
    bool SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl);

    // The framework's close: the window goes; the main window's close ends the program.
    void OnClose() override;
    // Lays the bars and the client area out over the new size (not while minimised).
    void OnSize(UINT nType, int cx, int cy) override;

    // The View menu's show-or-hide commands for the toolbar and the status bar.
    void OnViewToolBar();
    void OnViewStatusBar();
    void OnUpdateViewToolBar(CCmdUI* pCmdUI);
    void OnUpdateViewStatusBar(CCmdUI* pCmdUI);

    static const CommandMap* ThisMessageMap();

protected:
    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }

    // Lays the bars and the client area out again.
    void RecalcLayout();

private:
    // The platform's half: the frame's window with the resource's icon, menu and accelerators,
    // and its caption.
    bool CreateFrameWindow(UINT nIDResource);
    void LoadMenu(UINT nIDResource);
    void LoadAccelerators(UINT nIDResource);
    void SetWindowText(const std::string& text);
    void OnBarCheck(UINT nID);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);

    struct CommandUIBinding {
        CommandId id;
        std::function<void(const CCmdUI&)> apply;
    };
    CView* m_pActiveView = nullptr;
    std::unique_ptr<CObject> m_pClientView;  // the view the default client area creates
    std::vector<CommandUIBinding> m_commandUI;
    std::vector<CControlBar*> m_controlBars;     // not owned
    CCreateContext* m_pCreateContext = nullptr;  // valid only while the window is being created
    std::string m_strTitle;
    DWORD m_dwStyle = 0;
    bool m_bClosing = false;
};
