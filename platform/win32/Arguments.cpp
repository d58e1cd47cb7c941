// The Win32 half of the program's arguments: the wide command line, split as the system splits it.
#include "platform/Arguments.h"

#include <windows.h>

#include <shellapi.h>

#include "platform/win32/SystemText.h"

std::vector<std::string> GetProgramArguments(int /*argc*/, char** /*argv*/) {
    std::vector<std::string> args;
    int count = 0;
    if (LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) {
            args.push_back(Narrow(wide[i]));
        }
        ::LocalFree(wide);
    }
    return args;
}
