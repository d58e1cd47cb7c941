// Command routing and update handlers: active view, then its document, then the frame, then
// the application; a command nobody handles is disabled and never runs.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/core/CmdUI.h"
#include "framework/window/Document.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/MessageBox.h"
#include "framework/window/View.h"
#include "framework/window/WinApp.h"
#include "tests/common/CommandState.h"

namespace {

constexpr CommandId kViewCommand = 1001;
constexpr CommandId kDocCommand = 1002;
constexpr CommandId kFrameCommand = 1003;
constexpr CommandId kAppCommand = 1004;
constexpr CommandId kEverywhere = 1005;  // handled by all four: the view must win
constexpr CommandId kNobody = 1006;
constexpr CommandId kGated = 1007;  // handler in the view, update handler in the document
constexpr CommandId kThrows = 1008;

std::vector<std::string> g_log;

// A command target of one kind on the route (a view, a document, a frame, the application): it
// carries out its own command and kEverywhere, logging its class name.
template <class Base, CommandId kOwn>
class Hop : public Base {
public:
    void OnOwn() { g_log.push_back(this->GetRuntimeClass()->m_lpszClassName); }
    void OnEverywhere() {
        g_log.push_back(std::string(this->GetRuntimeClass()->m_lpszClassName) + ":everywhere");
    }
    static const CommandMap* ThisMessageMap() {
        static constexpr CommandMapEntry entries[] = {
            CommandEntry<&Hop::OnOwn>(kOwn),
            CommandEntry<&Hop::OnEverywhere>(kEverywhere),
        };
        static const CommandMap map{Base::ThisMessageMap(), entries};
        return &map;
    }

protected:
    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }
};

class TestView : public Hop<CView, kViewCommand> {
public:
    void OnDraw(CDC* /*pDC*/) override {}
    void OnGated() { g_log.push_back("CView:gated"); }
    static const CommandMap* ThisMessageMap() {
        static constexpr CommandMapEntry entries[] = {CommandEntry<&TestView::OnGated>(kGated)};
        static const CommandMap map{Hop::ThisMessageMap(), entries};
        return &map;
    }

protected:
    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }
};

class TestDoc : public Hop<CDocument, kDocCommand> {
public:
    bool m_bGateOpen = false;
    void OnThrows() { throw std::runtime_error("/data/a.txt: Input/output error"); }
    void OnUpdateGated(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bGateOpen); }
    static const CommandMap* ThisMessageMap() {
        static constexpr CommandMapEntry entries[] = {
            CommandEntry<&TestDoc::OnThrows>(kThrows),
            UpdateEntry<&TestDoc::OnUpdateGated>(kGated),
        };
        static const CommandMap map{Hop::ThisMessageMap(), entries};
        return &map;
    }

protected:
    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }
};

class CommandRoutingTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        m_doc.AddView(&m_view);
        m_frame.SetActiveView(&m_view, false);
        m_app.m_pMainWnd = &m_frame;
    }

    Hop<CWinApp, kAppCommand> m_app;
    TestDoc m_doc;
    TestView m_view;
    Hop<CFrameWnd, kFrameCommand> m_frame;
};

// Each hop carries out its own command, the first on the route wins; a command nobody handles,
// or one an update handler later on the route disables, is disabled and never runs.
TEST_F(CommandRoutingTest, CommandsRunAtTheFirstHopThatHandlesThemUnlessDisabled) {
    const struct {
        const char* name;
        CommandId id;
        bool gateOpen;
        std::vector<std::string> log;  // empty: disabled, nothing runs
    } cases[] = {
        {"view", kViewCommand, false, {"CView"}},
        {"document", kDocCommand, false, {"CDocument"}},
        {"frame", kFrameCommand, false, {"CFrameWnd"}},
        {"application", kAppCommand, false, {"CWinApp"}},
        {"first on the route wins", kEverywhere, false, {"CView:everywhere"}},
        {"nobody", kNobody, false, {}},
        {"gate closed", kGated, false, {}},
        {"gate open", kGated, true, {"CView:gated"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_log.clear();
        m_doc.m_bGateOpen = c.gateOpen;
        EXPECT_EQ(CommandState(m_frame, c.id).m_bEnabled, !c.log.empty());
        EXPECT_EQ(m_frame.OnCommand(c.id), !c.log.empty());
        EXPECT_EQ(g_log, c.log);
    }
}

TEST_F(CommandRoutingTest, WithoutActiveViewTheDocumentIsNotReached) {
    m_frame.SetActiveView(nullptr, false);
    EXPECT_FALSE(CommandState(m_frame, kDocCommand).m_bEnabled);
    EXPECT_FALSE(m_frame.OnCommand(kDocCommand));
    EXPECT_TRUE(m_frame.OnCommand(kEverywhere));
    EXPECT_EQ(g_log, std::vector<std::string>{"CFrameWnd:everywhere"});
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
    EXPECT_EQ(boxes, std::vector<std::string>{"/data/a.txt: Input/output error"});
    // The program goes on: the next command is carried out normally.
    EXPECT_TRUE(m_frame.OnCommand(kDocCommand));
}

}  // namespace
