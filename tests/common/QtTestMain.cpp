// Test entry point for the layers that need a QApplication. Test discovery runs the binary
// without ctest's environment, so the offscreen platform is chosen here when none is set.
// Settings go to a private folder for the run: no test may touch the real user's settings.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    std::string settings =
        (std::filesystem::temp_directory_path() / "tessiver-test-XXXXXX").string();
    if (mkdtemp(settings.data()) == nullptr) {
        return 2;
    }
    setenv("XDG_CONFIG_HOME", settings.c_str(), 1);

    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code ec;
    std::filesystem::remove_all(settings, ec);
    return result;
}
