#pragma once

// Private to the Win32 half: a dialog resource as the in-memory template the system's dialog
// functions take.

#include <windows.h>

#include <vector>

struct DialogDef;

// The template of def; bPage: a property page (a child, enabled by its sheet).
std::vector<WORD> BuildDialogTemplate(const DialogDef& def, bool bPage);
