#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Wnd.h"

class CCmdUI;
class CDocument;
class CView;
struct CCreateContext;
struct CREATESTRUCT;

// The main window. Routes commands: active view (and its document), then its own table, then
// the application. Keeps the menu items, toolbar buttons and status panes bound to command
// identifiers and refreshes them from the update handlers when the event loop goes idle.
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

    // Creates the frame's window from resource nIDResource (menu, accelerators, toolbar, title),
    // then its client area through OnCreateClient.
    virtual bool LoadFrame(UINT nIDResource, CCreateContext* pContext);
    // Builds the client area; the default creates one view of the context's view class.
    virtual bool OnCreateClient(CREATESTRUCT* pcs, CCreateContext* pContext);
    // Gives every view of the frame's document its initial update.
    void InitialUpdateFrame(CDocument* pDoc, bool bMakeVisible);

    // A user-interface element that shows the state of command id: apply receives what the
    // update handlers said each time the frame refreshes.
    void BindCommandUI(CommandId id, std::function<void(const CCmdUI&)> apply);
    // Runs the update handler of every bound element and applies the result.
    void OnIdleUpdateCmdUI();
    // Carries out a command raised from a menu, a button, a key or a command message, only while
    // its update handler leaves it enabled. Returns whether it ran.
    bool OnCommand(CommandId id);
    // Queues a command message; it is carried out from the event loop, like OnCommand.
    void PostCommand(CommandId id);

private:
    struct CommandUIBinding {
        CommandId id;
        std::function<void(const CCmdUI&)> apply;
    };
    CView* m_pActiveView = nullptr;
    std::unique_ptr<CObject> m_pClientView;  // the view the default client area creates
    std::vector<CommandUIBinding> m_commandUI;
};
