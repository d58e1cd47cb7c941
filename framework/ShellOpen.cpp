#include "framework/ShellOpen.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <utility>

namespace {
ShellOpenHook& Hook() {
    static ShellOpenHook hook;
    return hook;
}
}  // namespace

bool ShellOpenFile(const std::string& path) {
    if (Hook()) {
        return Hook()(path);
    }
    const QString file = QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

ShellOpenHook SetShellOpenHook(ShellOpenHook hook) {
    ShellOpenHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
