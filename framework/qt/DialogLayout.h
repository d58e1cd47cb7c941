#pragma once

// Private to the framework: builds a dialog resource's controls on a widget.

#include "framework/core/Platform.h"
#include "framework/core/ResourceTypes.h"

class QWidget;

namespace dialog_layout {
// Pixels per dialog unit for the template's font (its average character width / 4, height / 8).
int ToPixelsX(int dlu);
int ToPixelsY(int dlu);
// Creates every control of def on parent, at its place, and sizes parent to the template.
void CreateControls(QWidget* parent, const DialogDef& def);
// The control with identifier nID on parent, or null.
QWidget* FindControl(const QWidget* parent, UINT nID);
}  // namespace dialog_layout
