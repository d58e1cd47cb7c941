#pragma once

// The comparison document with one view, active in a frame whose routing reaches it as the main
// window's does; the test's files go in a scratch folder.

#include <gtest/gtest.h>

#include "document/RegistryKey.h"
#include "document/TessiverDoc.h"
#include "framework/core/Resources.h"
#include "framework/registry/RegistryStore.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/View.h"
#include "framework/window/WinApp.h"
#include "resources/Resource.h"
#include "tests/common/CommandState.h"
#include "tests/common/ScratchDir.h"

class CountingView : public CView {
public:
    int m_nUpdates = 0;
    void OnDraw(CDC* /*pDC*/) override {}
    void OnUpdate(CView* /*pSender*/, long /*lHint*/, CObject* /*pHint*/) override { ++m_nUpdates; }
};

class DocTest : public ::testing::Test {
protected:
    DocTest() {
        AfxSetResourceTables(&GetResourceTables());  // the program's, as the application sets
        m_doc.AddView(&m_view);
        m_frame.SetActiveView(&m_view, false);
        m_app.m_pMainWnd = &m_frame;
    }
    bool Enabled(CommandId id) { return CommandState(m_frame, id).m_bEnabled; }

    CScratchDir m_dir;
    CWinApp m_app;
    CTessiverDoc m_doc;
    CountingView m_view;
    CFrameWnd m_frame;
};

// A document test whose settings go to a store file in the scratch folder. The Windows build
// keeps them in the registry, under one key that the whole run shares: a test puts back what it
// changed there.
class SettingsDocTest : public DocTest {
protected:
    void SetUp() override {
#ifndef _WIN32
        SetRegistryStorePath(m_dir.Path("Tessiver.reg"));
#endif
    }
    void TearDown() override {
#ifndef _WIN32
        SetRegistryStorePath({});
#endif
    }
    // The key the program keeps its options under.
    static CRegistryKey Options() {
        return CRegistryKey("software\\Corvessa\\Tessiver\\Options", HKEY_CURRENT_USER);
    }
};
