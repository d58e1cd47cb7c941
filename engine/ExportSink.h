#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Where an export's bytes go, in order, a large piece at a time: standard output for
// tessiver-table, a file for the window.
class CExportSink {
public:
    virtual ~CExportSink() = default;
    virtual void Write(std::string_view bytes) = 0;
};

// Collects an export's small pieces and hands them to its sink in large ones.
class CExportBuffer {
public:
    explicit CExportBuffer(CExportSink& sink) : m_sink(sink) { m_buffer.reserve(kCapacity); }
    CExportBuffer(const CExportBuffer&) = delete;
    CExportBuffer& operator=(const CExportBuffer&) = delete;
    ~CExportBuffer() = default;

    void Append(std::string_view text) {
        if (text.size() > kCapacity - m_buffer.size()) {
            Flush();
            if (text.size() >= kCapacity) {
                m_sink.Write(text);
                return;
            }
        }
        m_buffer.append(text);
    }
    void Append(char c) {
        if (m_buffer.size() == kCapacity) {
            Flush();
        }
        m_buffer.push_back(c);
    }
    void AppendNumber(std::int64_t value) {
        char digits[24];
        char* const end = digits + sizeof digits;
        char* p = end;
        std::uint64_t magnitude =
            value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
        do {
            *--p = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (value < 0) {
            *--p = '-';
        }
        Append(std::string_view(p, static_cast<std::size_t>(end - p)));
    }
    void Flush() {
        if (!m_buffer.empty()) {
            m_sink.Write(m_buffer);
            m_buffer.clear();
        }
    }

private:
    static constexpr std::size_t kCapacity = 256 * 1024;

    CExportSink& m_sink;
    std::string m_buffer;
};

// Writes an export to path whole or not at all: a new file beside it, renamed over it once
// written, so that a reader never sees part of one. It keeps the permissions of the file it
// replaces, or has those of any new file the user makes. False when it cannot be written; the
// file that was there is then as it was.
bool WriteExportFile(const std::string& path, std::string_view bytes);
