#include "framework/dialog/ShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
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
    // A relative path would make a URL such as file:a.txt, which no opener understands; it is
    // taken from the current folder, as the shell would take it.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
}

ShellOpenHook SetShellOpenHook(ShellOpenHook hook) {
    ShellOpenHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
