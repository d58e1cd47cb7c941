#pragma once

// A running program for GUI tests: the application object started on a command line, its
// registry store in a scratch folder, and every modal dialog answered by the test.

#include <gtest/gtest.h>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/TessiverDoc.h"
#include "framework/dialog/Dialog.h"
#include "framework/qt/ModalDialog.h"
#include "framework/registry/Registry.h"
#include "framework/window/SplitterWnd.h"
#include "shell/MainFrame.h"
#include "shell/TessiverApp.h"

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        SetRegistryStorePath(StorePath());
        m_previousHook = SetModalDialogHook([this](QDialog* dialog) {
            m_dialogTitles.push_back(dialog->windowTitle());
            return m_onDialog ? m_onDialog(dialog) : int(QDialog::Rejected);
        });
        CMainFrame::s_bFirstShow = 1;
    }

    void TearDown() override {
        Stop();
        SetModalDialogHook(std::move(m_previousHook));
        SetRegistryStorePath({});
    }

    // Runs start-up as the program does, with args after the program name.
    void Start(std::vector<std::string> args = {}) {
        m_app = std::make_unique<CTessiverApp>();
        args.insert(args.begin(), "tessiver");
        m_app->SetCommandLine(std::move(args));
        ASSERT_TRUE(m_app->InitInstance());
        ASSERT_NE(m_app->m_pMainWnd, nullptr);
    }

    // The program's end: the profile is saved, then the window and document go.
    void Stop() {
        if (m_app) {
            m_app->ExitInstance();
            m_app->CloseAllDocuments();
            m_app.reset();
        }
    }

    CMainFrame* Frame() const { return static_cast<CMainFrame*>(m_app->m_pMainWnd); }
    CTessiverDoc* Doc() const { return dynamic_cast<CTessiverDoc*>(Frame()->GetActiveDocument()); }
    QMainWindow* Window() const { return qobject_cast<QMainWindow*>(Frame()->GetSafeHwnd()); }

    // Runs what the loop has queued (posted commands, posted layouts).
    static void ProcessEvents() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    std::string StorePath() const { return (m_dir.path() + "/Tessiver.reg").toStdString(); }

    std::string WriteFile(const QString& name, const QByteArray& text) const {
        QFile file(m_dir.path() + "/" + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName().toStdString();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CTessiverApp> m_app;
    std::function<int(QDialog*)> m_onDialog;  // unset: every dialog is cancelled
    std::vector<QString> m_dialogTitles;      // every dialog shown, in order

private:
    ModalDialogHook m_previousHook;
};
