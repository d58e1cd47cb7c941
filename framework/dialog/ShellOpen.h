#pragma once

#include <functional>
#include <string>

// Opens a file with the program the desktop associates with it (the default action). No
// command line is ever built: the path, made absolute from the current folder, goes to the
// desktop as a file URL. Returns whether the desktop accepted the request.
bool ShellOpenFile(const std::string& path);

// The desktop call itself, without the hook.
bool AfxShellOpenFile(const std::string& path);

using ShellOpenHook = std::function<bool(const std::string& path)>;
// Replaces the desktop call with hook (an empty hook restores it); returns the previous hook.
// Tests use it so that no program is ever launched.
ShellOpenHook SetShellOpenHook(ShellOpenHook hook);
