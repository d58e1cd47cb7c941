#pragma once

// A drag from another program, as a file manager makes it on X: the test's own X client is the
// source of an XDND drag (version 5) that offers files as a list of URIs, moves over a point of
// the screen and drops there. The program under the point sees what it would see of a real
// drag; the test sees what the program answered: whether it took the drag and the drop, and
// with which action. POSIX and Xlib only.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <cctype>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/common/XWindows.h"

namespace xwindows {

// What the program under the point answered.
struct CDragOutcome {
    bool bAware = false;         // the window takes part in XDND at all
    bool bAccepted = false;      // its last status took the drag
    bool bFinished = false;      // it said it was done with the drop
    bool bSucceeded = false;     // and that the drop was taken (version 5)
    std::string statusAction;    // the action its status named ("XdndActionCopy")
    std::string finishedAction;  // the action it said it performed
    int nDataRequests = 0;       // how often it asked for the files
};

class CXDrag {
public:
    explicit CXDrag(Display* display) : m_display(display) {
        m_source = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    }
    ~CXDrag() { XDestroyWindow(m_display, m_source); }
    CXDrag(const CXDrag&) = delete;
    CXDrag& operator=(const CXDrag&) = delete;

    // Drags the URIs (each "file:///...") from outside onto target's window, moves to (x, y) on
    // the screen and drops there. The source offers to copy or to move them and proposes to
    // move, as a file manager does by default for files on the same disk.
    CDragOutcome Drop(Window target, int x, int y, const std::vector<std::string>& uris,
                      double seconds = 20) {
        CDragOutcome outcome;
        const std::vector<long> aware = Property(m_display, target, Intern("XdndAware"), 1);
        outcome.bAware = !aware.empty();
        if (!outcome.bAware) {
            return outcome;
        }
        m_data.clear();
        m_bStatus = false;
        for (const std::string& uri : uris) {
            m_data += uri + "\r\n";
        }
        const long version = aware[0] < 5 ? aware[0] : 5;
        ::Atom types[] = {Intern("text/uri-list")};
        XChangeProperty(m_display, m_source, Intern("XdndTypeList"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(types), 1);
        ::Atom actions[] = {Intern("XdndActionCopy"), Intern("XdndActionMove")};
        XChangeProperty(m_display, m_source, Intern("XdndActionList"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(actions), 2);
        XSetSelectionOwner(m_display, Intern("XdndSelection"), m_source, CurrentTime);

        Send(target, "XdndEnter",
             {static_cast<long>(m_source), version << 24, static_cast<long>(types[0]), 0, 0});
        Send(target, "XdndPosition",
             {static_cast<long>(m_source), 0, (x << 16) | y, CurrentTime,
              static_cast<long>(Intern("XdndActionMove"))});
        const auto until = std::chrono::steady_clock::now() +
                           std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                               std::chrono::duration<double>(seconds));
        if (!Pump(outcome, until, [&] { return m_bStatus; })) {
            return outcome;
        }
        if (!outcome.bAccepted) {
            Send(target, "XdndLeave", {static_cast<long>(m_source), 0, 0, 0, 0});
            XFlush(m_display);
            return outcome;
        }
        Send(target, "XdndDrop", {static_cast<long>(m_source), 0, CurrentTime, 0, 0});
        Pump(outcome, until, [&] { return outcome.bFinished; });
        return outcome;
    }

private:
    ::Atom Intern(const char* name) { return XInternAtom(m_display, name, False); }
    std::string NameOf(long atom) {
        if (atom == 0) {
            return {};
        }
        char* name = XGetAtomName(m_display, static_cast<::Atom>(atom));
        std::string text = name != nullptr ? name : "";
        XFree(name);
        return text;
    }
    void Send(Window target, const char* type, std::vector<long> data) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = target;
        event.xclient.message_type = Intern(type);
        event.xclient.format = 32;
        for (std::size_t i = 0; i < data.size() && i < 5; ++i) {
            event.xclient.data.l[i] = data[i];
        }
        XSendEvent(m_display, target, False, NoEventMask, &event);
        XFlush(m_display);
    }
    // Handles the source's events until done() holds; false when the time ran out first.
    bool Pump(CDragOutcome& outcome, std::chrono::steady_clock::time_point until,
              const std::function<bool()>& done) {
        while (!done()) {
            if (std::chrono::steady_clock::now() > until) {
                return false;
            }
            if (XPending(m_display) == 0) {
                pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
                poll(&fd, 1, 20);
                continue;
            }
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.type == SelectionRequest) {
                Answer(event.xselectionrequest, outcome);
            } else if (event.type == ClientMessage &&
                       event.xclient.message_type == Intern("XdndStatus")) {
                m_bStatus = true;
                outcome.bAccepted = (event.xclient.data.l[1] & 1) != 0;
                outcome.statusAction = NameOf(event.xclient.data.l[4]);
            } else if (event.type == ClientMessage &&
                       event.xclient.message_type == Intern("XdndFinished")) {
                outcome.bFinished = true;
                outcome.bSucceeded = (event.xclient.data.l[1] & 1) != 0;
                outcome.finishedAction = NameOf(event.xclient.data.l[2]);
            }
        }
        return true;
    }
    // Gives the files to the program that asks for them.
    void Answer(const XSelectionRequestEvent& request, CDragOutcome& outcome) {
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = None;
        const ::Atom property = request.property != None ? request.property : request.target;
        if (request.target == Intern("text/uri-list")) {
            ++outcome.nDataRequests;
            XChangeProperty(m_display, request.requestor, property, request.target, 8,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(m_data.data()),
                            static_cast<int>(m_data.size()));
            reply.xselection.property = property;
        } else if (request.target == Intern("TARGETS")) {
            ::Atom targets[] = {Intern("TARGETS"), Intern("text/uri-list")};
            XChangeProperty(m_display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(targets), 2);
            reply.xselection.property = property;
        }
        XSendEvent(m_display, request.requestor, False, NoEventMask, &reply);
        XFlush(m_display);
    }

    Display* m_display;
    Window m_source = 0;
    std::string m_data;
    bool m_bStatus = false;
};

// A file's path as a URI of a file manager's drag.
inline std::string FileUri(const std::string& path) {
    std::string uri = "file://";
    for (const unsigned char c : path) {
        if (std::isalnum(c) != 0 ||
            std::string_view("/-._~").find(static_cast<char>(c)) != std::string_view::npos) {
            uri += static_cast<char>(c);
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri;
}

}  // namespace xwindows
