#pragma once

// The running program on Qt: its window as a widget, the event loop run on demand, and every
// modal dialog answered by the test.

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QMainWindow>
#include <functional>
#include <vector>

#include "framework/qt/ModalDialog.h"
#include "tests/shell/AppFixture.h"

class QtAppTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        m_previousHook = SetModalDialogHook([this](QDialog* dialog) {
            m_dialogTitles.push_back(dialog->windowTitle());
            return m_onDialog ? m_onDialog(dialog) : int(QDialog::Rejected);
        });
    }
    void TearDown() override {
        AppTest::TearDown();
        SetModalDialogHook(std::move(m_previousHook));
    }

    QMainWindow* Window() const { return qobject_cast<QMainWindow*>(Frame()->GetSafeHwnd()); }
    // Runs what the loop has queued (posted commands, posted layouts).
    static void ProcessEvents() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    std::function<int(QDialog*)> m_onDialog;  // unset: every dialog is cancelled
    std::vector<QString> m_dialogTitles;      // every dialog shown, in order

private:
    ModalDialogHook m_previousHook;
};
