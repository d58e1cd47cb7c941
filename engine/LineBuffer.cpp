#include "engine/LineBuffer.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/FileException.h"
#include "engine/LineComparer.h"

namespace {

constexpr std::size_t kChunkSize = 256 * 1024;
constexpr char kCtrlZ = 0x1A;
constexpr std::size_t kHugePage = 2 * 1024 * 1024;

class CFileDescriptor {
public:
    explicit CFileDescriptor(int fd) : m_fd(fd) {}
    ~CFileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

std::uint64_t Mix(std::uint64_t h) {
    h ^= h >> 32;
    h *= 0xd6e8feb86659fd93ull;
    h ^= h >> 32;
    return h;
}

// Eight bytes per step, and four independent steps at a time on long lines: the hash runs over
// every byte of both files, so it must stay cheap.
inline std::uint64_t HashBytes(const char* p, std::size_t n, std::uint64_t seed) {
    constexpr std::uint64_t kMultiplier = 0xff51afd7ed558ccdull;
    const std::size_t length = n;
    std::uint64_t h = seed ^ (n * 0x9e3779b97f4a7c15ull);
    if (n >= 64) {
        std::uint64_t lanes[4] = {h, h + 1, h + 2, h + 3};
        do {
            for (int i = 0; i < 4; ++i) {
                std::uint64_t v;
                std::memcpy(&v, p + 8 * i, 8);
                lanes[i] = (lanes[i] ^ v) * kMultiplier;
                lanes[i] ^= lanes[i] >> 29;
            }
            p += 32;
            n -= 32;
        } while (n >= 32);
        h = lanes[0] ^ std::rotl(lanes[1], 16) ^ std::rotl(lanes[2], 32) ^ std::rotl(lanes[3], 48);
        h *= kMultiplier;
    }
    while (n >= 8) {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        h = (h ^ v) * kMultiplier;
        h ^= h >> 29;
        p += 8;
        n -= 8;
    }
    if (n > 0) {
        std::uint64_t v = 0;
        if (length >= 8) {
            // The last eight bytes, overlapping those already taken.
            std::memcpy(&v, p + n - 8, 8);
        } else {
            for (std::size_t i = 0; i < n; ++i) {
                v |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
            }
        }
        h = (h ^ v) * 0xc4ceb9fe1a85ec53ull;
    }
    return Mix(h);
}

#if !defined(__SSE2__)
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

bool HasZeroByte(std::uint64_t word) {
    return ((word - kOnes) & ~word & kHighBits) != 0;
}

bool HasLineFeedOrTab(std::uint64_t word) {
    return HasZeroByte(word ^ (kOnes * '\n')) || HasZeroByte(word ^ (kOnes * '\t'));
}
#endif

[[noreturn]] void ThrowSystemError(const std::string& path, int error) {
    throw CFileException(path, std::strerror(error));
}

}  // namespace

void AdviseHugePages(void* p, std::size_t bytes) {
    const auto pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto first = (reinterpret_cast<std::uintptr_t>(p) + pageSize - 1) & ~(pageSize - 1);
    const auto last = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(pageSize - 1);
    if (bytes >= kHugePage && last > first) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}

CLineBuffer::CPages::~CPages() {
    if (m_pData != nullptr) {
        ::munmap(m_pData, m_size);
    }
}

void CLineBuffer::CPages::Resize(std::size_t size) {
    if (size == m_size) {
        return;
    }
    if (size == 0) {
        ::munmap(m_pData, m_size);
        m_pData = nullptr;
        m_size = 0;
        return;
    }
    void* p = m_pData == nullptr ? ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                                 : ::mremap(m_pData, m_size, size, MREMAP_MAYMOVE);
    if (p == MAP_FAILED) {
        throw std::bad_alloc();
    }
    if (size >= kHugePage) {
        // The whole mapping, so that it stays one piece that mremap can move.
        ::madvise(p, size, MADV_HUGEPAGE);
    }
    m_pData = static_cast<char*>(p);
    m_size = size;
}

void CLineBuffer::AddTabDistance(std::uint64_t distance) {
    constexpr std::uint32_t kLong = UINT32_MAX;
    for (; distance >= kLong; distance -= kLong) {
        m_tabDistances.push_back(kLong);
    }
    m_tabDistances.push_back(static_cast<std::uint32_t>(distance));
}

bool CLineBuffer::Load(const std::string& path, std::string* pOpenError, std::int64_t maxLines) {
    const auto openFailed = [pOpenError](int error) {
        if (pOpenError != nullptr) {
            *pOpenError = std::strerror(error);
        }
        return false;
    };
    // Without O_NONBLOCK, opening a named pipe waits until some process opens it for writing.
    // Once open, reads block as usual, and a pipe with no writer reads as its end.
    const CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) {
        return openFailed(errno);
    }
    const int flags = ::fcntl(file.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ThrowSystemError(path, errno);
    }
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) {
        ThrowSystemError(path, errno);
    }
    if (S_ISDIR(status.st_mode)) {
        return openFailed(EISDIR);
    }
    // The size is only a hint: the loop reads until end of file, so files that grow while they
    // are read, pipes and files that report no size are read whole as well.
    const std::size_t expected =
        S_ISREG(status.st_mode) ? static_cast<std::size_t>(status.st_size) : 0;
    // Small files need no large chunk; one that grows is still read whole, a chunk at a time.
    const std::size_t chunkSize = std::clamp<std::size_t>(expected + 1, 4096, kChunkSize);
    m_text.Resize(expected + expected / 16 + 4 * chunkSize + 1);
    const std::size_t lineEstimate = expected / 16 + 16;
    m_startLow.reserve(lineEstimate + 1);
    m_hash.reserve(lineEstimate);
    m_tabs.reserve(lineEstimate);
    // Room for the tabs of lines that do not merely indent, so that a file of long such lines
    // does not copy the list as it grows; pages never written cost nothing.
    m_tabDistances.reserve(expected / 4 + 16);

    const std::unique_ptr<char[]> chunk(new char[chunkSize]);
    std::uint64_t lineBegin = 0;
    std::uint32_t leadingTabs = 0;
    bool irregular = false;
    std::uint64_t lastTab = 0;  // column of the current line's last tab, once it is irregular
    bool ended = false;
    while (!ended) {
        const ssize_t got = ::read(file.Get(), chunk.get(), chunkSize);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowSystemError(path, errno);
        }
        if (got == 0) {
            break;
        }
        const char* p = chunk.get();
        const char* end = p + got;
        if (const void* stop = std::memchr(p, kCtrlZ, static_cast<std::size_t>(got))) {
            end = static_cast<const char*>(stop);
            ended = true;
        }
        // A chunk of tabs grows fourfold.
        if (m_text.GetSize() - m_size < 4 * static_cast<std::size_t>(end - p) + 1) {
            m_text.Resize(std::max(m_size + 4 * static_cast<std::size_t>(end - p) + 1,
                                   m_text.GetSize() + m_text.GetSize() / 2));
        }
        char* const base = m_text.Get();
        char* out = base + m_size;
        for (; p < end; ++p) {
            // Plain bytes sixteen (or eight) at a time, with the run of tabs that starts a
            // line in one go; the rest one by one.
#if defined(__SSE2__)
            const __m128i lineFeeds = _mm_set1_epi8('\n');
            const __m128i tabs = _mm_set1_epi8('\t');
            if (static_cast<std::uint64_t>(out - base) == lineBegin && end - p >= 16) {
                // A new line: up to sixteen leading tabs without a branch. Sixty-four spaces are
                // stored whatever their number; the room is there as below.
                const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                const auto run = static_cast<std::uint32_t>(std::countr_one(
                    static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, tabs)))));
                const __m128i spaces = _mm_set1_epi8(' ');
                for (int i = 0; i < 4; ++i) {
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * i), spaces);
                }
                out += 4 * run;
                p += run;
                leadingTabs = run;
            }
            while (end - p >= 16) {
                const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                const auto tabBits =
                    static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, tabs)));
                const auto special =
                    tabBits |
                    static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineFeeds)));
                // All sixteen are stored even when fewer are plain: the buffer always has four
                // times the unread input free, and later bytes overwrite the surplus.
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
                if (special == 0) {
                    out += 16;
                    p += 16;
                    continue;
                }
                const int plain = std::countr_zero(special);
                out += plain;
                p += plain;
                const auto run = static_cast<std::uint32_t>(std::countr_one(tabBits >> plain));
                if (run > 1 && !irregular &&
                    static_cast<std::uint64_t>(out - base) - lineBegin == 4ull * leadingTabs &&
                    leadingTabs < kIrregular - 1 - run) {
                    std::memset(out, ' ', 4 * run);
                    out += 4 * run;
                    p += run;
                    leadingTabs += run;
                    continue;
                }
                break;
            }
#else
            while (end - p >= 8) {
                std::uint64_t word;
                std::memcpy(&word, p, 8);
                if (HasLineFeedOrTab(word)) {
                    break;
                }
                std::memcpy(out, &word, 8);
                out += 8;
                p += 8;
            }
#endif
            if (p == end) {
                break;
            }
            const char c = *p;
            if (c != '\n' && c != '\t') {
                *out++ = c;
                continue;
            }
            if (c == '\t') {
                const std::uint64_t column = static_cast<std::uint64_t>(out - base) - lineBegin;
                if (!irregular && column == 4ull * leadingTabs && leadingTabs < kIrregular - 1) {
                    ++leadingTabs;
                } else {
                    if (!irregular) {
                        irregular = true;
                        for (std::uint32_t k = 0; k < leadingTabs; ++k) {
                            AddTabDistance(k == 0 ? 0 : 4);
                        }
                        lastTab = leadingTabs == 0 ? 0 : 4ull * (leadingTabs - 1);
                    }
                    AddTabDistance(column - lastTab);
                    lastTab = column;
                }
                std::memcpy(out, "    ", 4);
                out += 4;
                continue;
            }
            // Text mode: CR LF reads as LF. The byte before is a CR only if the file had one
            // there, since tabs become spaces.
            if (static_cast<std::uint64_t>(out - base) > lineBegin && out[-1] == '\r') {
                --out;
            }
            if (static_cast<std::int64_t>(m_hash.size()) >= maxLines) {
                throw CFileException(
                    path, "more lines than can be numbered (" + std::to_string(maxLines) + ")");
            }
            const std::uint64_t lineEnd = static_cast<std::uint64_t>(out - base);
            *out++ = '\n';
            FinishLine(lineBegin, lineEnd, irregular ? kIrregular : leadingTabs);
            lineBegin = lineEnd + 1;
            leadingTabs = 0;
            irregular = false;
        }
        m_size = static_cast<std::size_t>(out - base);
    }
    if (m_size > lineBegin) {
        // A last line without terminator still counts; it is stored with one like the others.
        if (static_cast<std::int64_t>(m_hash.size()) >= maxLines) {
            throw CFileException(
                path, "more lines than can be numbered (" + std::to_string(maxLines) + ")");
        }
        const std::uint64_t lineEnd = m_size;
        m_text.Get()[m_size++] = '\n';
        FinishLine(lineBegin, lineEnd, irregular ? kIrregular : leadingTabs);
    }
    m_text.Resize(m_size);
    m_hash.insert(m_hash.end(), kHashPadding, 0);
    return true;
}

void CLineBuffer::FinishLine(std::uint64_t begin, std::uint64_t end, std::uint32_t tabs) {
    const std::uint64_t next = end + 1;
    const auto entry = static_cast<std::int32_t>(m_startLow.size());
    while ((next >> 32) > m_highEntry.size()) {
        m_highEntry.push_back(entry);
    }
    m_startLow.push_back(static_cast<std::uint32_t>(next));

    std::uint64_t seed = tabs;
    if (tabs == kIrregular) {
        const std::size_t first = m_irregularFirst.back();
        tabs |= static_cast<std::uint32_t>(m_irregularFirst.size() - 1);
        m_irregularFirst.push_back(m_tabDistances.size());
        seed = HashBytes(reinterpret_cast<const char*>(m_tabDistances.data() + first),
                         (m_tabDistances.size() - first) * sizeof(std::uint32_t), seed);
    }
    std::uint32_t hash = 0;
    if (end > begin) {
        const std::uint64_t h = HashBytes(m_text.Get() + begin, end - begin, seed);
        hash = static_cast<std::uint32_t>(h ^ (h >> 32));
        if (hash == 0) {
            hash = 1;  // 0 is kept for blank lines
        }
    }
    if (tabs < kOtherTabs) {
        m_tabs.push_back(static_cast<std::uint16_t>(tabs));
    } else {
        m_tabs.push_back(kOtherTabs);
        m_otherTabs.emplace_back(static_cast<std::int32_t>(m_hash.size()), tabs);
    }
    m_hash.push_back(hash);
}

std::uint32_t CLineBuffer::GetTabs(std::int32_t i) const {
    if (m_tabs[i] != kOtherTabs) {
        return m_tabs[i];
    }
    const auto it = std::lower_bound(m_otherTabs.begin(), m_otherTabs.end(), i,
                                     [](const std::pair<std::int32_t, std::uint32_t>& other,
                                        std::int32_t line) { return other.first < line; });
    return it->second;
}

bool CLineBuffer::IsEqual(std::int32_t i, const CLineBuffer& other, std::int32_t j) const {
    if (m_hash[i] != other.m_hash[j]) {
        return false;
    }
    if (m_tabs[i] != other.m_tabs[j]) {
        return false;
    }
    const std::uint32_t tabs = m_tabs[i] == kOtherTabs ? GetTabs(i) : m_tabs[i];
    const std::uint32_t otherTabs = m_tabs[i] == kOtherTabs ? other.GetTabs(j) : tabs;
    if ((tabs & kIrregular) != (otherTabs & kIrregular)) {
        return false;
    }
    if ((tabs & kIrregular) == 0) {
        if (tabs != otherTabs) {
            return false;
        }
    } else {
        const std::uint32_t k = tabs & ~kIrregular;
        const std::uint32_t otherK = otherTabs & ~kIrregular;
        const auto first =
            m_tabDistances.begin() + static_cast<std::ptrdiff_t>(m_irregularFirst[k]);
        const auto last =
            m_tabDistances.begin() + static_cast<std::ptrdiff_t>(m_irregularFirst[k + 1]);
        const auto otherFirst = other.m_tabDistances.begin() +
                                static_cast<std::ptrdiff_t>(other.m_irregularFirst[otherK]);
        const auto otherLast = other.m_tabDistances.begin() +
                               static_cast<std::ptrdiff_t>(other.m_irregularFirst[otherK + 1]);
        if (!std::equal(first, last, otherFirst, otherLast)) {
            return false;
        }
    }
    return GetLine(i) == other.GetLine(j);
}

void CLineBuffer::DropMatchIndex() {
    std::vector<std::uint32_t>().swap(m_hash);
    std::vector<std::uint16_t>().swap(m_tabs);
    std::vector<std::pair<std::int32_t, std::uint32_t>>().swap(m_otherTabs);
    std::vector<std::uint64_t>{0}.swap(m_irregularFirst);
    std::vector<std::uint32_t>().swap(m_tabDistances);
}

std::string& ExpandTabs(std::string& text) {
    const auto tabs = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\t'));
    if (tabs == 0) {
        return text;
    }
    // Fill from the back so every byte moves once.
    std::size_t from = text.size();
    text.resize(text.size() + 3 * tabs);
    std::size_t to = text.size();
    while (from > 0) {
        const char c = text[--from];
        if (c == '\t') {
            to -= 4;
            std::fill_n(text.begin() + static_cast<std::ptrdiff_t>(to), 4, ' ');
        } else {
            text[--to] = c;
        }
    }
    return text;
}
