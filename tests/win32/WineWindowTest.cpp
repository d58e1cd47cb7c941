// The Windows program in a real window, under Wine in Xvfb: it must show the comparison where the
// rows belong, move its top row with F7, store its placement when File > Exit closes it, and draw
// at the scale of the screen's dpi.
// scripts/build-windows.sh runs it for each build with TESSIVER_WINDOWS_PROGRAM (the .exe) and
// TESSIVER_WINE (the loader for it) set; without them it has nothing to run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "tests/common/XWindows.h"

namespace {

using namespace xwindows;
namespace fs = std::filesystem;

// Wine sees the Linux file system as drive Z:.
std::string WindowsPath(const fs::path& path) {
    std::string text = "Z:" + fs::absolute(path).string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

// What a command prints on standard output, and its exit status. The output goes through a
// file: Wine's helper processes may outlive the command and would hold a pipe open.
std::pair<std::string, int> Output(const std::vector<std::string>& argv,
                                   const std::vector<std::string>& env) {
    char path[] = "/tmp/tessiver-output-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        return {{}, -1};
    }
    CChild child;
    child.Start(argv, env, fd);
    close(fd);
    const int status = child.Wait(60).value_or(-1);
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    unlink(path);
    return {text.str(), status};
}

// The DWORD values of a registry key, as `reg query` lists them.
std::map<std::string, unsigned long> RegistryValues(const std::string& wine, const std::string& key,
                                                    const std::vector<std::string>& env) {
    std::map<std::string, unsigned long> values;
    std::istringstream lines(Output({wine, "reg", "query", key}, env).first);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string name;
        std::string type;
        std::string value;
        if (fields >> name >> type >> value && type == "REG_DWORD") {
            values[name] = std::stoul(value, nullptr, 16);
        }
    }
    return values;
}

// The Windows program started under Wine in an X server of the test's own, comparing a source
// and a target whose rows are 0 changed, 1 equal, 2 changed and 3 only in the target; Wine told
// the screen has dpi dots per inch.
class WineWindow : public ::testing::Test {
protected:
    void SetUp() override {
        m_program = std::getenv("TESSIVER_WINDOWS_PROGRAM");
        m_wine = std::getenv("TESSIVER_WINE");
        if (m_program == nullptr || m_wine == nullptr) {
            GTEST_SKIP() << "no Windows program named (TESSIVER_WINDOWS_PROGRAM, TESSIVER_WINE)";
        }
        fs::create_directories(m_folder);
        std::ofstream(m_folder / "source.txt") << "first line\nsame\nthird line\n";
        std::ofstream(m_folder / "target.txt") << "FIRST LINE\nsame\nTHIRD LINE\nfourth\n";
        ASSERT_TRUE(m_server.Start());
        m_env = {"DISPLAY=" + m_server.Name()};
    }
    void TearDown() override {
        if (m_wine != nullptr) {
            SetDpi(96);
        }
        fs::remove_all(m_folder);
    }

    // Wine reads it as each program starts; 96 is its default.
    void SetDpi(int dpi) {
        const std::string key = "HKCU\\Control Panel\\Desktop";
        if (dpi == 96) {
            Output({m_wine, "reg", "delete", key, "/v", "LogPixels", "/f"}, m_env);
        } else {
            Output({m_wine, "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                    std::to_string(dpi), "/f"},
                   m_env);
        }
    }

    // Starts the program and waits until both panes show the two silver bands of each side.
    void StartAndWaitForTheRows() {
        Output({m_wine, "reg", "delete", "HKCU\\Software\\Corvessa", "/f"}, m_env);
        ASSERT_TRUE(m_tessiver.Start({m_wine, m_program, WindowsPath(m_folder / "source.txt"),
                                      WindowsPath(m_folder / "target.txt")},
                                     m_env));
        m_display.reset(XOpenDisplay(m_server.Name().c_str()));
        ASSERT_NE(m_display, nullptr);
        for (int attempt = 0; attempt < 600 && (m_left.size() < 2 || m_right.size() < 2);
             ++attempt) {
            m_window = FindWindowNamed(m_display.get(), DefaultRootWindow(m_display.get()),
                                       "Tessiver 1.03");
            m_image = m_window ? Capture(m_display.get(), *m_window) : NoImage();
            if (m_image) {
                const int half = m_image->width / 2;
                m_left = SilverBands(m_image.get(), 50, 130);
                m_right = SilverBands(m_image.get(), half + 60, half + 140);
            }
            ASSERT_TRUE(m_tessiver.IsRunning()) << "the program ended early";
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ASSERT_TRUE(m_image) << "no window titled Tessiver 1.03";
        ASSERT_EQ(m_left.size(), 2u) << Describe(m_left);
        ASSERT_EQ(m_right.size(), 2u) << Describe(m_right);
    }

    int Count(unsigned long colour, int x0, int x1, int y0, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                n += Pixel(m_image.get(), x, y) == colour ? 1 : 0;
            }
        }
        return n;
    }

    // How far right of the left pane's edge a highlighted row's text begins, along the row's
    // top line (above its letters and line number): the pane starts where a white stretch does
    // (the gutter's blanks), the text where a silver one does.
    int TextColumn(int top) const {
        const auto run = [&](int x, unsigned long colour) {
            for (int i = 0; i < 6; ++i) {
                if (x + i >= m_image->width || Pixel(m_image.get(), x + i, top + 1) != colour) {
                    return false;
                }
            }
            return true;
        };
        int pane = 0;
        while (pane < m_image->width && !run(pane, 0xFFFFFF)) {
            ++pane;
        }
        int text = pane;
        while (text < m_image->width && !run(text, kSilver)) {
            ++text;
        }
        return text - pane;
    }

    const char* m_program = nullptr;
    const char* m_wine = nullptr;
    fs::path m_folder = fs::temp_directory_path() / ("tessiver-wine-" + std::to_string(getpid()));
    CXServer m_server;
    std::vector<std::string> m_env;
    CChild m_tessiver;
    DisplayPtr m_display{nullptr, &XCloseDisplay};
    std::optional<Window> m_window;
    ImagePtr m_image = NoImage();
    std::vector<std::pair<int, int>> m_left;
    std::vector<std::pair<int, int>> m_right;
};

TEST_F(WineWindow, ShowsTheComparisonMovesWithF7AndStoresItsPlacementOnExit) {
    SetDpi(96);
    StartAndWaitForTheRows();
    // Silver rows level with each other, the texts red and green by their kind, from x = 40.
    const int top = m_left[0].first;
    EXPECT_EQ(m_left[1].first - top, 32);
    EXPECT_EQ(m_right[0].first, top);
    EXPECT_EQ(m_right[1].first, m_left[1].first);
    EXPECT_GE(m_right[1].second - m_right[1].first, 32);  // rows 2 and 3
    const int half = m_image->width / 2;
    EXPECT_GT(Count(0xFF0000, 40, half, top, top + 16), 0) << "a changed row's text is red";
    EXPECT_GT(Count(0x008000, half, m_image->width, top + 48, top + 64), 0)
        << "a target-only row's text is green";
    EXPECT_EQ(TextColumn(top), 40);

    // F7 makes the next difference (row 2) the top row of both panes.
    const std::string id = std::to_string(*m_window);
    Output({"xdotool", "mousemove", "--window", id, std::to_string(half + 100),
            std::to_string(top + 24), "click", "1"},
           m_env);
    Output({"xdotool", "key", "F7"}, m_env);
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_image = Capture(m_display.get(), *m_window);
        m_left = m_image ? SilverBands(m_image.get(), 50, 130) : m_left;
        if (m_left.size() == 1) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_EQ(m_left.size(), 1u) << Describe(m_left);
    EXPECT_EQ(m_left[0].first, top);

    // File > Exit stores the six placement values.
    Output({"xdotool", "key", "alt+f", "x"}, m_env);
    ASSERT_TRUE(m_tessiver.Wait(30).has_value()) << "File > Exit did not end the program";
    const auto values = RegistryValues(m_wine, "HKCU\\Software\\Corvessa\\Tessiver\\Window", m_env);
    for (const char* name : {"top", "right", "left", "bottom", "show", "flags"}) {
        EXPECT_EQ(values.count(name), 1u) << name;
    }
    if (values.size() >= 6) {
        EXPECT_GT(values.at("right"), values.at("left"));
        EXPECT_GT(values.at("bottom"), values.at("top"));
        EXPECT_EQ(values.at("show"), 1u);
        EXPECT_EQ(values.at("flags"), 0u);
    }
}

// On a screen of 144 dpi everything the program draws is half as large again: 24-pixel rows,
// the text from x = 60, a font to match.
TEST_F(WineWindow, ScalesRowsTextColumnAndFontWithTheScreensDpi) {
    SetDpi(144);
    StartAndWaitForTheRows();
    const int top = m_left[0].first;
    EXPECT_EQ(m_left[0].second - top, 24) << Describe(m_left);
    EXPECT_EQ(m_left[1].first - top, 48) << Describe(m_left);
    EXPECT_EQ(m_right[0].first, top);
    EXPECT_GE(m_right[1].second - m_right[1].first, 48);  // rows 2 and 3
    EXPECT_EQ(TextColumn(top), 60);
    // Letters reach lower than a 16-pixel font's would.
    EXPECT_GT(Count(0xFF0000, 0, m_image->width / 2, top + 16, top + 24), 0);
}

}  // namespace
