// The Qt half of the message box.
#include "framework/window/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include "framework/qt/QtSupport.h"

int AfxShowMessageBox(const std::string& text, UINT /*nType*/) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), FromBytes(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
    return IDOK;
}
