#pragma once

// The real program in a real X server: an Xvfb of the test's own, processes started on it, its
// windows found by name, and what they show read back as pixels. POSIX and Xlib only.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace xwindows {

constexpr unsigned long kSilver = 0xC0C0C0;

// A child process; killed and reaped when it goes out of scope.
class CChild {
public:
    CChild() = default;
    // Runs argv with the extra environment entries ("NAME=value"); stdout goes to outFd when given.
    bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
               int outFd = -1) {
        m_pid = fork();
        if (m_pid == 0) {
            for (const std::string& entry : env) {
                putenv(const_cast<char*>(entry.c_str()));
            }
            if (outFd >= 0) {
                dup2(outFd, STDOUT_FILENO);
            }
            std::vector<char*> args;
            for (const std::string& arg : argv) {
                args.push_back(const_cast<char*>(arg.c_str()));
            }
            args.push_back(nullptr);
            execvp(args[0], args.data());
            _exit(127);
        }
        return m_pid > 0;
    }
    // Waits up to seconds for the process to end; its exit status, or nothing.
    std::optional<int> Wait(double seconds) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (m_pid > 0) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            if (std::chrono::steady_clock::now() > until) {
                return std::nullopt;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return std::nullopt;
    }
    bool IsRunning() { return m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == 0; }
    ~CChild() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    CChild(const CChild&) = delete;
    CChild& operator=(const CChild&) = delete;

private:
    pid_t m_pid = -1;
};

// An Xvfb on the first free display number.
class CXServer {
public:
    bool Start() {
        int fds[2];
        if (pipe(fds) != 0) {
            return false;
        }
        const bool started = m_process.Start({"Xvfb", "-displayfd", std::to_string(fds[1]),
                                              "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
                                             {});
        close(fds[1]);
        std::string number;
        char c = 0;
        while (started && read(fds[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(fds[0]);
        m_name = ":" + number;
        return started && !number.empty();
    }
    const std::string& Name() const { return m_name; }

private:
    CChild m_process;
    std::string m_name;
};

using DisplayPtr = std::unique_ptr<Display, int (*)(Display*)>;
using ImagePtr = std::unique_ptr<XImage, int (*)(XImage*)>;

inline ImagePtr NoImage() {
    return ImagePtr(nullptr, [](XImage* p) { return XDestroyImage(p); });
}

// The window of that name anywhere below parent (a window manager frames top-level windows).
inline std::optional<Window> FindWindowNamed(Display* display, Window parent, const char* name) {
    Window root = 0;
    Window parentOut = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, parent, &root, &parentOut, &children, &count) == 0) {
        return std::nullopt;
    }
    std::optional<Window> found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* windowName = nullptr;
        if (XFetchName(display, children[i], &windowName) != 0 && windowName != nullptr) {
            if (std::string(windowName) == name) {
                found = children[i];
            }
            XFree(windowName);
        }
        if (!found) {
            found = FindWindowNamed(display, children[i], name);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

// Up to count 32-bit items of a window property.
inline std::vector<long> Property(Display* display, Window window, Atom atom, long count) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(display, window, atom, 0, count, False, AnyPropertyType, &type, &format,
                           &items, &after, &data) == Success &&
        data != nullptr) {
        if (format == 32) {
            const auto* longs = reinterpret_cast<const long*>(data);
            values.assign(longs, longs + items);
        }
        XFree(data);
    }
    return values;
}

// What the window shows, once it is mapped.
inline ImagePtr Capture(Display* display, Window window) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0 ||
        attributes.map_state != IsViewable) {
        return NoImage();
    }
    ImagePtr image = NoImage();
    image.reset(XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                          static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap));
    return image;
}

inline unsigned long Pixel(XImage* image, int x, int y) {
    return XGetPixel(image, x, y) & 0xFFFFFF;
}

// The y ranges [begin, end) of the rows whose stretch [x0, x1) shows a good share of silver: a
// highlighted text background, glyphs and all. Only bands a full row (16 pixels) high count,
// which leaves out icons and line numbers.
inline std::vector<std::pair<int, int>> SilverBands(XImage* image, int x0, int x1) {
    std::vector<std::pair<int, int>> bands;
    for (int y = 0; y < image->height; ++y) {
        int count = 0;
        for (int x = x0; x < x1; ++x) {
            count += Pixel(image, x, y) == kSilver ? 1 : 0;
        }
        if (count >= (x1 - x0) / 8) {
            if (!bands.empty() && bands.back().second == y) {
                bands.back().second = y + 1;
            } else {
                bands.emplace_back(y, y + 1);
            }
        }
    }
    std::erase_if(bands, [](const auto& band) { return band.second - band.first < 16; });
    return bands;
}

inline std::string Describe(const std::vector<std::pair<int, int>>& bands) {
    std::string text;
    for (const auto& [begin, end] : bands) {
        text += " [" + std::to_string(begin) + "," + std::to_string(end) + ")";
    }
    return text;
}

}  // namespace xwindows
