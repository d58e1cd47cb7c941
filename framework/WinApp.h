#pragma once

#include <memory>

#include "framework/CmdTarget.h"

class CFrameWnd;
class QObject;

// The application object: the last stop of command routing, and the owner of idle processing.
// Exactly one exists while the program runs.
class CWinApp : public CCmdTarget {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    CWinApp();
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Idle processing: refreshes the main frame's command user interface from the update
    // handlers. Called whenever the event loop is about to wait, once EnableIdleProcessing ran.
    virtual bool OnIdle(long lCount);
    void EnableIdleProcessing();

    CFrameWnd* m_pMainWnd = nullptr;  // the main frame; owned by the document template

private:
    bool m_bInIdle = false;
    std::unique_ptr<QObject> m_pIdleConnection;  // ends idle processing with the application
};

// The one application object, or null when none exists.
CWinApp* AfxGetApp();
