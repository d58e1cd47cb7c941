#pragma once

// Every modal dialog the Qt half runs (dialog boxes, property sheets, file dialogs, printer
// set-up) goes through AfxRunModalDialog. A hook installed here receives the ready dialog instead
// of a person: it may inspect it, fill it in, and returns the result the dialog's exec() would
// have returned (QDialog::Accepted or QDialog::Rejected). Tests use it.

#include <functional>

class QDialog;

using ModalDialogHook = std::function<int(QDialog* pDialog)>;
// Installs hook (an empty one restores normal running); returns the previous one.
ModalDialogHook SetModalDialogHook(ModalDialogHook hook);
// Runs the dialog modally (or through the hook). A wait cursor is lifted while it runs.
int AfxRunModalDialog(QDialog& dialog);

// Gives the framework's own dialog boxes and property sheets the platform's dialog frame: a
// caption with a system menu and a close button, no minimise or maximise, at a fixed size (the
// size the dialog has now). A window manager that minimises such a dialog anyway, apart from
// its owner, has it shown again at once: a modal dialog out of sight would leave the program
// blocked with nothing to answer.
void AfxSetDialogFrame(QDialog& dialog);
