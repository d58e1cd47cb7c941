#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

// A private folder for one test's files, removed with everything in it at the end of the test.
class CTempFiles {
public:
    CTempFiles() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") +
                              "/tessiver-engine-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        m_folder = pattern;
    }
    ~CTempFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    CTempFiles(const CTempFiles&) = delete;
    CTempFiles& operator=(const CTempFiles&) = delete;

    // Writes bytes to a file of that name in the folder and returns its path.
    std::string Write(const std::string& name, std::string_view bytes) const {
        const std::string path = Path(name);
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!file) {
            throw std::runtime_error("cannot write " + path);
        }
        return path;
    }
    std::string Path(const std::string& name) const { return (m_folder / name).string(); }

private:
    std::filesystem::path m_folder;
};
