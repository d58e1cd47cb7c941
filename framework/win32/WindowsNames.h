#pragma once

// The Windows names the program and the framework are written against, for the Win32 half: the
// system's own. Reached only through framework/core/Platform.h.

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

// The registry calls the program makes take its UTF-8 texts (framework/registry/Registry.h); the
// system's macros that would choose between its narrow and wide forms step aside.
#undef RegCreateKeyEx
#undef RegOpenKeyEx
#undef RegQueryValueEx
#undef RegSetValueEx
#undef RegDeleteValue
