#include "framework/window/MessageBox.h"

#include <new>

namespace {
MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}
}  // namespace

int AfxMessageBox(const std::string& text, UINT nType) {
    return Hook() ? Hook()(text, nType) : AfxShowMessageBox(text, nType);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    MessageBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

void ReportCommandException(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        AfxMessageBox("Not enough memory to complete the command.");
    } catch (const std::exception& e) {
        // File errors name the file and the system's reason in their message.
        AfxMessageBox(e.what());
    } catch (...) {
        AfxMessageBox("The command could not be completed.");
    }
}
