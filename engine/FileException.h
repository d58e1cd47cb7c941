#pragma once

#include <stdexcept>
#include <string>

// A file that did open could not be read to its end (an I/O error, a directory, more lines
// than 32-bit line numbers can count). Carries the file and the system's reason.
class CFileException : public std::runtime_error {
public:
    CFileException(std::string path, std::string reason)
        : std::runtime_error(path + ": " + reason),
          m_path(std::move(path)),
          m_reason(std::move(reason)) {}

    const std::string& GetPath() const { return m_path; }
    const std::string& GetReason() const { return m_reason; }

private:
    std::string m_path;
    std::string m_reason;
};
