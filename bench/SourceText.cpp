#include "bench/SourceText.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace {

namespace fs = std::filesystem;

bool IsNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The folders in parent whose names start with prefix, in name order.
std::vector<fs::path> FoldersStartingWith(const fs::path& parent, std::string_view prefix) {
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::directory_iterator it(parent, error), end; !error && it != end; it.increment(error)) {
        if (it->path().filename().string().starts_with(prefix) && it->is_directory(error) &&
            !it->is_symlink(error)) {
            folders.push_back(it->path());
        }
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

// Regular files under roots (symbolic links not followed, so nothing is found twice) whose
// path passes wanted, sorted by path.
template <class Wanted>
std::vector<fs::path> FindFiles(const std::vector<fs::path>& roots, const Wanted& wanted) {
    std::vector<fs::path> paths;
    for (const fs::path& root : roots) {
        std::error_code error;
        fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied,
                                            error);
        for (const fs::recursive_directory_iterator end; !error && it != end; it.increment(error)) {
            if (it->is_regular_file(error) && !it->is_symlink(error) && wanted(it->path())) {
                paths.push_back(it->path());
            }
        }
    }
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
}

}  // namespace

CSourceFiles CSourceFiles::FindC(std::vector<fs::path> roots) {
    if (roots.empty()) {
        roots = {"/usr/include"};
    }
    static const std::string_view kExtensions[] = {".h",   ".hh",  ".hpp", ".hxx",
                                                   ".h++", ".tcc", ".inl", ".ipp"};
    CSourceFiles files;
    files.m_paths = FindFiles(roots, [](const fs::path& path) {
        const std::string extension = path.extension().string();
        // The C++ library's headers have no extension.
        return std::find(std::begin(kExtensions), std::end(kExtensions), extension) !=
                   std::end(kExtensions) ||
               (extension.empty() && path.string().find("/c++/") != std::string::npos);
    });
    for (const fs::path& path : files.m_paths) {
        std::error_code error;
        files.m_nBytes += fs::file_size(path, error);
    }
    return files;
}

CSourceFiles CSourceFiles::FindScripts(std::vector<fs::path> roots) {
    if (roots.empty()) {
        roots = FoldersStartingWith("/usr/lib", "python3");
        for (const fs::path& perl : FoldersStartingWith("/usr/share", "perl")) {
            roots.push_back(perl);
        }
        for (const fs::path& arch : FoldersStartingWith("/usr/lib", "")) {
            if (arch.filename().string().ends_with("-linux-gnu")) {
                for (const fs::path& perl : FoldersStartingWith(arch, "perl")) {
                    roots.push_back(perl);
                }
            }
        }
    }
    CSourceFiles files;
    files.m_paths = FindFiles(roots, [](const fs::path& path) {
        const std::string extension = path.extension().string();
        return extension == ".py" || extension == ".pm" || extension == ".pl";
    });
    for (const fs::path& path : files.m_paths) {
        std::error_code error;
        files.m_nBytes += fs::file_size(path, error);
    }
    return files;
}

CSourceText::CSourceText(const CSourceFiles& c, const CSourceFiles& scripts, std::uint32_t cShare,
                         std::uint64_t seed)
    : m_random(seed), m_c{&c.GetPaths(), {}}, m_scripts{&scripts.GetPaths(), {}}, m_cShare(cShare) {
    if (c.GetPaths().empty() && scripts.GetPaths().empty()) {
        throw std::runtime_error("no source files found to build the pair from");
    }
}

const fs::path& CSourceText::NextPath(CShuffled& files) {
    if (files.next == files.order.size()) {
        // A new round through the files, in a new order.
        files.order.resize(files.pPaths->size());
        for (std::uint32_t i = 0; i < files.order.size(); ++i) {
            files.order[i] = i;
        }
        for (std::size_t i = files.order.size(); i > 1; --i) {
            std::swap(files.order[i - 1],
                      files.order[m_random.Below(static_cast<std::uint32_t>(i))]);
        }
        files.next = 0;
    }
    return (*files.pPaths)[files.order[files.next++]];
}

void CSourceText::LoadNextFile() {
    // Every file may be unreadable or binary; give up after a whole round of them.
    const std::size_t tries = m_c.pPaths->size() + m_scripts.pPaths->size() + 1;
    for (std::size_t attempt = 0; attempt < tries; ++attempt) {
        const bool c =
            m_scripts.pPaths->empty() || (!m_c.pPaths->empty() && m_random.Below(100) < m_cShare);
        std::ifstream in(NextPath(c ? m_c : m_scripts), std::ios::binary);
        m_text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        m_pos = 0;
        if (m_text.empty() ||
            m_text.find_first_of(std::string_view("\0\x1a", 2)) != std::string::npos) {
            continue;
        }
        std::erase(m_text, '\r');
        if (m_text.empty()) {
            continue;
        }
        if (m_text.back() != '\n') {
            m_text += '\n';
        }
        return;
    }
    throw std::runtime_error("no readable text among the source files");
}

void CSourceText::NextLine(std::string& out) {
    if (m_pos >= m_text.size()) {
        LoadNextFile();
    }
    const std::size_t end = m_text.find('\n', m_pos);
    const std::string_view line(m_text.data() + m_pos, end - m_pos);
    out += line;
    m_pos = end + 1;
    // Now and then keep a name of this line for ChangeLine to put into another.
    if (m_random.Below(8) == 0) {
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (IsNameStart(line[i]) && (i == 0 || !IsNameChar(line[i - 1]))) {
                std::size_t j = i;
                while (j < line.size() && IsNameChar(line[j])) {
                    ++j;
                }
                if (j - i >= 3) {
                    if (m_names.size() < 64) {
                        m_names.emplace_back(line.substr(i, j - i));
                    } else {
                        m_names[m_random.Below(64)] = line.substr(i, j - i);
                    }
                    break;
                }
                i = j;
            }
        }
    }
}

void CSourceText::ChangeLine(std::string_view line, std::string& out) {
    std::string edited(line);
    std::vector<std::size_t> digits;
    std::vector<std::pair<std::size_t, std::size_t>> names;  // start, length
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (IsDigit(line[i]) && (i == 0 || !IsNameChar(line[i - 1]))) {
            digits.push_back(i);
        } else if (IsNameStart(line[i]) && (i == 0 || !IsNameChar(line[i - 1]))) {
            std::size_t j = i;
            while (j < line.size() && IsNameChar(line[j])) {
                ++j;
            }
            names.emplace_back(i, j - i);
            i = j - 1;
        }
    }
    const std::string& other =
        m_names.empty() ? std::string("value") : m_names[m_random.Below(m_names.size())];
    const std::uint32_t kind = m_random.Below(100);
    if (kind < 30 && !digits.empty()) {
        char& digit = edited[digits[m_random.Below(digits.size())]];
        digit = static_cast<char>('0' + (digit - '0' + 1 + m_random.Below(9)) % 10);
    } else if (kind < 75 && !names.empty()) {
        const auto [start, length] = names[m_random.Below(names.size())];
        if (m_random.Below(2) == 0) {
            edited.replace(start, length, other);
        } else {
            edited.insert(start + length, m_random.Below(2) == 0 ? "2" : "_new");
        }
    } else if (kind < 90) {
        edited += ' ';
        edited += other;
    } else if (!edited.empty() && (edited[0] == ' ' || edited[0] == '\t')) {
        edited.erase(0, 1);
    } else {
        edited.insert(0, "    ");
    }
    if (edited == line) {
        edited += '_';
    }
    out += edited;
}
