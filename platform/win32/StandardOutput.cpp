// The Win32 half of standard output.
#include "platform/StandardOutput.h"

#include "platform/win32/Handle.h"
#include "platform/win32/SystemText.h"

bool WriteStandardOutput(std::string_view bytes, std::string* pReason) {
    // WriteFile passes the bytes as they are, where the C library's text mode would add CRs.
    if (WriteAll(::GetStdHandle(STD_OUTPUT_HANDLE), bytes)) {
        return true;
    }
    if (pReason != nullptr) {
        *pReason = SystemMessage(::GetLastError());
    }
    return false;
}

bool WriteStandardError(std::string_view bytes) {
    return WriteAll(::GetStdHandle(STD_ERROR_HANDLE), bytes);
}

bool IsStandardErrorTerminal() {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != FALSE;
}
