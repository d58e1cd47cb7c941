#pragma once

#include <string>
#include <vector>

// The program's arguments, its name first, as UTF-8 (on Windows taken from the wide command line,
// so that file names outside the ANSI code page arrive whole). argc and argv are main's, after any
// toolkit has taken its own options out of them.
std::vector<std::string> GetProgramArguments(int argc, char** argv);
