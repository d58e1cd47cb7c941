// The Qt half of CFileDialog: Qt's own file dialog, filtered as the platform's would be.
#include "framework/window/FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QStringList>
#include <algorithm>
#include <vector>

#include "framework/dialog/Dialog.h"
#include "framework/qt/ModalDialog.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/WinApp.h"

namespace {

struct Filter {
    QString description;
    QStringList patterns;
};

// Reads the platform's list of null-terminated pairs.
std::vector<Filter> ParseFilterList(const char* list) {
    std::vector<Filter> filters;
    if (list == nullptr) {
        return filters;
    }
    while (*list != '\0') {
        const QString description = QString::fromLocal8Bit(list);
        list += std::char_traits<char>::length(list) + 1;
        const QString patterns = QString::fromLocal8Bit(list);
        list += std::char_traits<char>::length(list) + 1;
        filters.push_back({description, patterns.split(';', Qt::SkipEmptyParts)});
        if (patterns.isEmpty()) {
            break;
        }
    }
    return filters;
}

// "*.*" means every file on the platform the program was written for; here it would need a dot.
QStringList ToQtPatterns(const QStringList& patterns) {
    QStringList result;
    for (const QString& pattern : patterns) {
        result << (pattern.trimmed() == "*.*" ? QStringLiteral("*") : pattern.trimmed());
    }
    return result;
}

}  // namespace

int CFileDialog::DoModal() {
    QWidget* parent = nullptr;
    if (m_ofn.hwndOwner != nullptr) {
        parent = m_ofn.hwndOwner;
    } else if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd != nullptr) {
        parent = app->m_pMainWnd->GetSafeHwnd();
    }
    auto* dialog = new QFileDialog(parent);
    Attach(dialog);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(m_bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (m_bOpenFileDialog) {
        // The framework's open dialog only ever returns a file that exists.
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    dialog->setWindowTitle(m_ofn.lpstrTitle != nullptr ? QString::fromLocal8Bit(m_ofn.lpstrTitle)
                           : m_bOpenFileDialog         ? QStringLiteral("Open")
                                                       : QStringLiteral("Save As"));
    if (m_ofn.lpstrDefExt != nullptr) {
        dialog->setDefaultSuffix(QString::fromLocal8Bit(m_ofn.lpstrDefExt));
    }
    const std::vector<Filter> filters = ParseFilterList(m_ofn.lpstrFilter);
    QStringList descriptions;
    for (const Filter& filter : filters) {
        descriptions << filter.description;
    }
    if (!descriptions.isEmpty()) {
        dialog->setNameFilters(descriptions);
        const int index = m_ofn.nFilterIndex > 0 ? static_cast<int>(m_ofn.nFilterIndex) - 1 : 0;
        const auto applyPatterns = [dialog, filters](const QString& chosen) {
            for (const Filter& filter : filters) {
                if (filter.description == chosen) {
                    if (auto* model = dialog->findChild<QFileSystemModel*>()) {
                        model->setNameFilters(ToQtPatterns(filter.patterns));
                    }
                }
            }
        };
        QObject::connect(dialog, &QFileDialog::filterSelected, dialog, applyPatterns);
        const QString chosen = descriptions.value(std::min<int>(index, descriptions.size() - 1));
        dialog->selectNameFilter(chosen);
        applyPatterns(chosen);
    }
    if (m_ofn.lpstrInitialDir != nullptr && *m_ofn.lpstrInitialDir != '\0') {
        // A remembered file rather than a folder starts the dialog beside that file.
        const QFileInfo start(QString::fromLocal8Bit(m_ofn.lpstrInitialDir));
        if (start.isDir()) {
            dialog->setDirectory(start.absoluteFilePath());
        } else {
            dialog->setDirectory(start.absolutePath());
            if (start.exists()) {
                dialog->selectFile(start.fileName());
            }
        }
    }
    if (!m_strFileName.empty()) {
        dialog->selectFile(QString::fromLocal8Bit(m_strFileName.c_str()));
    }
    if (AfxRunModalDialog(*dialog) != QDialog::Accepted) {
        return IDCANCEL;
    }
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty()) {
        return IDCANCEL;
    }
    const QByteArray path = QDir::toNativeSeparators(chosen.first()).toLocal8Bit();
    m_strPathName.assign(path.constData(), static_cast<std::size_t>(path.size()));
    return IDOK;
}
