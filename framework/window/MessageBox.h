#pragma once

#include <exception>
#include <functional>
#include <string>

#include "framework/core/Platform.h"

// Shows the framework's message box (modal, over the main window) and returns the button
// pressed. Tests install a hook that answers instead of a person.
int AfxMessageBox(const std::string& text, UINT nType = MB_OK | MB_ICONEXCLAMATION);

// The platform's box itself, without the hook.
int AfxShowMessageBox(const std::string& text, UINT nType);

using MessageBoxHook = std::function<int(const std::string& text, UINT nType)>;
// Replaces the box with hook (an empty hook restores it); returns the previous hook.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// Reports an exception that reached the framework from a command: one message box naming the
// file and the system's reason where the exception carries them.
void ReportCommandException(const std::exception_ptr& error);
