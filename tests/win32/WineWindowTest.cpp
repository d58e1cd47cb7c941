// The Windows program in a real window, under Wine in Xvfb: it must show the comparison where the
// rows belong, move its top row with F7, and store its placement when File > Exit closes it.
// scripts/build-windows.sh runs it for each build with TESSIVER_WINDOWS_PROGRAM (the .exe) and
// TESSIVER_WINE (the loader for it) set; without them it has nothing to run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

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

TEST(WineWindow, ShowsTheComparisonMovesWithF7AndStoresItsPlacementOnExit) {
    const char* program = std::getenv("TESSIVER_WINDOWS_PROGRAM");
    const char* wine = std::getenv("TESSIVER_WINE");
    if (program == nullptr || wine == nullptr) {
        GTEST_SKIP() << "no Windows program named (TESSIVER_WINDOWS_PROGRAM, TESSIVER_WINE)";
    }
    const fs::path folder = fs::temp_directory_path() / ("tessiver-wine-" + std::to_string(getpid()));
    fs::create_directories(folder);
    // Rows: 0 changed, 1 equal, 2 changed, 3 only in the target.
    std::ofstream(folder / "source.txt") << "first line\nsame\nthird line\n";
    std::ofstream(folder / "target.txt") << "FIRST LINE\nsame\nTHIRD LINE\nfourth\n";

    CXServer server;
    ASSERT_TRUE(server.Start());
    const std::vector<std::string> env = {"DISPLAY=" + server.Name()};
    const std::string windowKey = "HKCU\\Software\\Corvessa\\Tessiver\\Window";
    Output({wine, "reg", "delete", "HKCU\\Software\\Corvessa", "/f"}, env);

    CChild tessiver;
    ASSERT_TRUE(tessiver.Start({wine, program, WindowsPath(folder / "source.txt"),
                                WindowsPath(folder / "target.txt")},
                               env));
    DisplayPtr display(XOpenDisplay(server.Name().c_str()), &XCloseDisplay);
    ASSERT_NE(display, nullptr);

    // Both panes show the comparison: silver rows level with each other, the texts red and
    // green by their kind.
    std::optional<Window> window;
    ImagePtr image = NoImage();
    std::vector<std::pair<int, int>> left;
    std::vector<std::pair<int, int>> right;
    for (int attempt = 0; attempt < 600 && (left.size() < 2 || right.size() < 2); ++attempt) {
        window = FindWindowNamed(display.get(), DefaultRootWindow(display.get()), "Tessiver 1.03");
        image = window ? Capture(display.get(), *window) : NoImage();
        if (image) {
            const int half = image->width / 2;
            left = SilverBands(image.get(), 50, 130);
            right = SilverBands(image.get(), half + 60, half + 140);
        }
        ASSERT_TRUE(tessiver.IsRunning()) << "the program ended early";
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(image) << "no window titled Tessiver 1.03";
    ASSERT_EQ(left.size(), 2u) << Describe(left);
    ASSERT_EQ(right.size(), 2u) << Describe(right);
    const int top = left[0].first;
    EXPECT_EQ(left[1].first - top, 32);
    EXPECT_EQ(right[0].first, top);
    EXPECT_EQ(right[1].first, left[1].first);
    EXPECT_GE(right[1].second - right[1].first, 32);  // rows 2 and 3
    const auto count = [&](unsigned long colour, int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                n += Pixel(image.get(), x, y) == colour ? 1 : 0;
            }
        }
        return n;
    };
    const int half = image->width / 2;
    EXPECT_GT(count(0xFF0000, 40, half, top, top + 16), 0) << "a changed row's text is red";
    EXPECT_GT(count(0x008000, half, image->width, top + 48, top + 64), 0)
        << "a target-only row's text is green";

    // F7 makes the next difference (row 2) the top row of both panes.
    const std::string id = std::to_string(*window);
    Output({"xdotool", "mousemove", "--window", id, std::to_string(half + 100),
            std::to_string(top + 24), "click", "1"},
           env);
    Output({"xdotool", "key", "F7"}, env);
    for (int attempt = 0; attempt < 100; ++attempt) {
        image = Capture(display.get(), *window);
        left = image ? SilverBands(image.get(), 50, 130) : left;
        if (left.size() == 1) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_EQ(left.size(), 1u) << Describe(left);
    EXPECT_EQ(left[0].first, top);

    // File > Exit stores the six placement values.
    Output({"xdotool", "key", "alt+f", "x"}, env);
    ASSERT_TRUE(tessiver.Wait(30).has_value()) << "File > Exit did not end the program";
    const auto values = RegistryValues(wine, windowKey, env);
    for (const char* name : {"top", "right", "left", "bottom", "show", "flags"}) {
        EXPECT_EQ(values.count(name), 1u) << name;
    }
    if (values.size() >= 6) {
        EXPECT_GT(values.at("right"), values.at("left"));
        EXPECT_GT(values.at("bottom"), values.at("top"));
        EXPECT_EQ(values.at("show"), 1u);
        EXPECT_EQ(values.at("flags"), 0u);
    }
    fs::remove_all(folder);
}

}  // namespace
