#pragma once

#include <string>
#include <string_view>

// Writes bytes to standard output unchanged (on Windows too: a row ends in LF, not CR LF).
// Returns false, with the system's reason in *pReason, when standard output refuses them.
bool WriteStandardOutput(std::string_view bytes, std::string* pReason);

// Writes bytes to standard error as they are; false when it refuses them.
bool WriteStandardError(std::string_view bytes);
// Whether standard error is a terminal (on Windows a console), where a line can be rewritten in
// place to show progress.
bool IsStandardErrorTerminal();
