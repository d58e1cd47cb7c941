// The Qt half of opening a file with the desktop's program for it.
#include "framework/dialog/ShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "framework/qt/QtSupport.h"

bool AfxShellOpenFile(const std::string& path) {
    // A relative path would make a URL such as file:a.txt, which no opener understands; it is
    // taken from the current folder, as the shell would take it.
    return QDesktopServices::openUrl(
        QUrl::fromLocalFile(QFileInfo(FromBytes(path)).absoluteFilePath()));
}
