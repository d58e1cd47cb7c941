#pragma once

// Private to the Win32 half: writing through a file handle.

#include <windows.h>

#include <string_view>

// Writes all of bytes. False, with the system's error set, on an error.
inline bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        constexpr std::size_t kMostPerCall = 1u << 30;
        DWORD done = 0;
        const auto n =
            static_cast<DWORD>(bytes.size() < kMostPerCall ? bytes.size() : kMostPerCall);
        if (!::WriteFile(file, bytes.data(), n, &done, nullptr)) {
            return false;
        }
        bytes.remove_prefix(done);
    }
    return true;
}
