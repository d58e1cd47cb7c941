// Command routing and update handlers: active view, then its document, then the frame, then
// the application; a command nobody handles is disabled and never runs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <string>
#include <vector>

#include "engine/FileException.h"
#include "framework/core/CmdUI.h"
#include "framework/core/Document.h"
#include "framework/window/FrameWnd.h"
#include "framework/dialog/MessageBox.h"
#include "framework/window/View.h"
#include "framework/core/WinApp.h"

namespace {

constexpr CommandId kViewCommand = 1001;
constexpr CommandId kDocCommand = 1002;
constexpr CommandId kFrameCommand = 1003;
constexpr CommandId kAppCommand = 1004;
constexpr CommandId kEverywhere = 1005;  // handled by all four: the view must win
constexpr CommandId kNobody = 1006;
constexpr CommandId kGated = 1007;  // handler in the view, update handler in the document
constexpr CommandId kPane = 1008;   // update handler only (a status pane)
constexpr CommandId kThrows = 1009;

std::vector<std::string>* g_log = nullptr;

void Log(const std::string& what) {
    if (g_log != nullptr) {
        g_log->push_back(what);
    }
}

class TestView : public CView {
public:
    void OnDraw(CDC* /*pDC*/) override {}
    void OnViewCommand() { Log("view"); }
    void OnEverywhere() { Log("view:everywhere"); }
    void OnGated() { Log("view:gated"); }

    static const CommandMap* ThisMessageMap() {
        static constexpr CommandMapEntry entries[] = {
            CommandEntry<&TestView::OnViewCommand>(kViewCommand),
            CommandEntry<&TestView::OnEverywhere>(kEverywhere),
            CommandEntry<&TestView::OnGated>(kGated),
        };
        static const CommandMap map{CView::ThisMessageMap(), entries};
        return &map;
    }

protected:
    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }
};

class TestDoc : public CDocument {
public:
    bool m_bGateOpen = false;
    std::string m_paneText = "pane";

    void OnDocCommand() { Log("doc"); }
    void OnThrows() { throw CFileException("/data/a.txt", "Input/output error"); }
    void OnEverywhere() { Log("doc:everywhere"); }
    void OnUpdateGated(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bGateOpen); }
    void OnUpdatePane(CCmdUI* pCmdUI) { pCmdUI->SetText(m_paneText); }

    static const CommandMap* ThisMessageMap() {
        static constexpr CommandMapEntry entries[] = {
            CommandEntry<&TestDoc::OnDocCommand>(kDocCommand),
            CommandEntry<&TestDoc::OnThrows>(kThrows),
            CommandEntry<&TestDoc::OnEverywhere>(kEverywhere),
            UpdateEntry<&TestDoc::OnUpdateGated>(kGated),
            UpdateEntry<&TestDoc::OnUpdatePane>(kPane),
        };
        static const CommandMap map{CDocument::ThisMessageMap(), entries};
        return &map;
    }

protected:
    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }
};

class TestFrame : public CFrameWnd {
public:
    void OnFrameCommand() { Log("frame"); }
    void OnEverywhere() { Log("frame:everywhere"); }

    static const CommandMap* ThisMessageMap() {
        static constexpr CommandMapEntry entries[] = {
            CommandEntry<&TestFrame::OnFrameCommand>(kFrameCommand),
            CommandEntry<&TestFrame::OnEverywhere>(kEverywhere),
        };
        static const CommandMap map{CFrameWnd::ThisMessageMap(), entries};
        return &map;
    }

protected:
    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }
};

class TestApp : public CWinApp {
public:
    void OnAppCommand() { Log("app"); }
    void OnEverywhere() { Log("app:everywhere"); }

    static const CommandMap* ThisMessageMap() {
        static constexpr CommandMapEntry entries[] = {
            CommandEntry<&TestApp::OnAppCommand>(kAppCommand),
            CommandEntry<&TestApp::OnEverywhere>(kEverywhere),
        };
        static const CommandMap map{CWinApp::ThisMessageMap(), entries};
        return &map;
    }

protected:
    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }
};

class CommandRoutingTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log = &m_log;
        m_doc.AddView(&m_view);
        m_frame.SetActiveView(&m_view, false);
        m_app.m_pMainWnd = &m_frame;
    }
    void TearDown() override { g_log = nullptr; }

    CCmdUI Update(CommandId id) {
        CCmdUI state(id);
        m_frame.UpdateCommand(state);
        return state;
    }

    std::vector<std::string> m_log;
    TestApp m_app;
    TestDoc m_doc;
    TestView m_view;
    TestFrame m_frame;
};

struct HopCase {
    const char* name;
    CommandId id;
    const char* expectedLog;
};

TEST_F(CommandRoutingTest, EachHopCarriesOutItsOwnCommand) {
    const HopCase cases[] = {
        {"view", kViewCommand, "view"},
        {"document", kDocCommand, "doc"},
        {"frame", kFrameCommand, "frame"},
        {"application", kAppCommand, "app"},
        {"first on the route wins", kEverywhere, "view:everywhere"},
    };
    for (const HopCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_log.clear();
        EXPECT_TRUE(Update(c.id).m_bEnabled);
        EXPECT_TRUE(m_frame.OnCommand(c.id));
        EXPECT_EQ(m_log, std::vector<std::string>{c.expectedLog});
    }
}

TEST_F(CommandRoutingTest, WithoutActiveViewTheDocumentIsNotReached) {
    m_frame.SetActiveView(nullptr, false);
    EXPECT_FALSE(Update(kDocCommand).m_bEnabled);
    EXPECT_FALSE(m_frame.OnCommand(kDocCommand));
    EXPECT_TRUE(m_frame.OnCommand(kEverywhere));
    EXPECT_EQ(m_log, std::vector<std::string>{"frame:everywhere"});
}

TEST_F(CommandRoutingTest, CommandNobodyHandlesIsDisabledAndDoesNothing) {
    EXPECT_FALSE(Update(kNobody).m_bEnabled);
    EXPECT_FALSE(m_frame.OnCommand(kNobody));
    EXPECT_TRUE(m_log.empty());
}

TEST_F(CommandRoutingTest, UpdateHandlerLaterOnTheRouteGatesHandlerEarlierOnIt) {
    m_doc.m_bGateOpen = false;
    EXPECT_FALSE(Update(kGated).m_bEnabled);
    EXPECT_FALSE(m_frame.OnCommand(kGated));
    EXPECT_TRUE(m_log.empty());

    m_doc.m_bGateOpen = true;
    EXPECT_TRUE(Update(kGated).m_bEnabled);
    EXPECT_TRUE(m_frame.OnCommand(kGated));
    EXPECT_EQ(m_log, std::vector<std::string>{"view:gated"});
}

TEST_F(CommandRoutingTest, PostedCommandRunsFromTheEventLoopThroughTheEnableRule) {
    m_frame.PostCommand(kGated);
    m_frame.PostCommand(kAppCommand);
    EXPECT_TRUE(m_log.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(m_log, std::vector<std::string>{"app"});
}

TEST_F(CommandRoutingTest, IdleProcessingAppliesUpdateHandlersToBoundElements) {
    std::vector<std::string> applied;
    m_frame.BindCommandUI(kPane,
                          [&](const CCmdUI& ui) { applied.push_back(ui.m_text.value_or("?")); });
    m_frame.BindCommandUI(kNobody, [&](const CCmdUI& ui) {
        applied.push_back(ui.m_bEnabled ? "enabled" : "disabled");
    });
    m_app.EnableIdleProcessing();

    m_doc.m_paneText = "/tmp/a.txt";
    QEventLoop loop;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    loop.exec();  // goes idle at least once before the queued quit runs

    ASSERT_GE(applied.size(), 2u);
    EXPECT_EQ(applied[0], "/tmp/a.txt");
    EXPECT_EQ(applied[1], "disabled");
}

TEST_F(CommandRoutingTest, ExceptionFromAHandlerIsReportedOnceNotPropagated) {
    std::vector<std::string> boxes;
    MessageBoxHook previous = SetMessageBoxHook([&](const std::string& text, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    bool ran = true;
    EXPECT_NO_THROW(ran = m_frame.OnCommand(kThrows));
    SetMessageBoxHook(std::move(previous));

    EXPECT_FALSE(ran);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("/data/a.txt"), std::string::npos);
    EXPECT_NE(boxes[0].find("Input/output error"), std::string::npos);
    // The program goes on: the next command is carried out normally.
    EXPECT_TRUE(m_frame.OnCommand(kDocCommand));
}

}  // namespace
