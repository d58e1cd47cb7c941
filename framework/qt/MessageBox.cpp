#include "framework/dialog/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <new>


namespace {
MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}
}  // namespace

int AfxMessageBox(const std::string& text, UINT nType) {
    if (Hook()) {
        return Hook()(text, nType);
    }
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
    return IDOK;
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
        AfxMessageBox(e.what());
    } catch (...) {
        AfxMessageBox("The command could not be completed.");
    }
}
