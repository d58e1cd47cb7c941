#include "framework/dialog/ShellOpen.h"

#include <utility>

namespace {
ShellOpenHook& Hook() {
    static ShellOpenHook hook;
    return hook;
}
}  // namespace

bool ShellOpenFile(const std::string& path) {
    return Hook() ? Hook()(path) : AfxShellOpenFile(path);
}

ShellOpenHook SetShellOpenHook(ShellOpenHook hook) {
    ShellOpenHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
