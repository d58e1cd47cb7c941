#pragma once

#include "framework/window/WinApp.h"

// The application object: the profile under Software\Corvessa\Tessiver, the one document
// template (document, main frame, source pane under resource 128), the command line, the about
// box and the framework's standard commands.
class CTessiverApp : public CWinApp {
public:
    CTessiverApp();
    ~CTessiverApp() override;

    bool InitInstance() override;

    void OnAppAbout();

    static const CommandMap* ThisMessageMap();

protected:
    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }
};
