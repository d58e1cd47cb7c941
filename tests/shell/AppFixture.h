#pragma once

// A running program for the shell's tests: the application object started on a command line,
// with its registry store in a scratch folder (on Windows the test main gives the run a registry
// key of its own).

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/TessiverDoc.h"
#include "framework/core/AfxRes.h"
#include "framework/registry/Registry.h"
#include "framework/registry/RegistryStore.h"
#include "shell/MainFrame.h"
#include "shell/TessiverApp.h"
#include "tests/common/ScratchDir.h"

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        SetRegistryStorePath(StorePath());
#endif
        CMainFrame::s_bFirstShow = 1;
    }
    void TearDown() override {
        Stop();
#ifndef _WIN32
        SetRegistryStorePath({});
#endif
    }

    // Runs start-up as the program does, with args after the program name.
    void Start(std::vector<std::string> args = {}) {
        m_app = std::make_unique<CTessiverApp>();
        args.insert(args.begin(), "tessiver");
        m_app->SetCommandLine(std::move(args));
        ASSERT_TRUE(m_app->InitInstance());
        ASSERT_NE(m_app->m_pMainWnd, nullptr);
    }
    // The program's end: the profile is saved, then the window and document go.
    void Stop() {
        if (m_app) {
            m_app->ExitInstance();
            m_app->CloseAllDocuments();
            m_app.reset();
        }
        CMainFrame::s_bFirstShow = 1;
    }
    // Runs the event loop over what start-up queued, then the user's Exit command.
    void RunUntilExit() {
        Frame()->PostCommand(ID_APP_EXIT);
        m_app->Run();
    }

    CMainFrame* Frame() const { return static_cast<CMainFrame*>(m_app->m_pMainWnd); }
    CTessiverDoc* Doc() const { return dynamic_cast<CTessiverDoc*>(Frame()->GetActiveDocument()); }
    std::string StorePath() const { return m_dir.Path("Tessiver.reg"); }

    CScratchDir m_dir;
    std::unique_ptr<CTessiverApp> m_app;
};
