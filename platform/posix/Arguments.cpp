// The POSIX half of the program's arguments: main's, as bytes.
#include "platform/Arguments.h"

std::vector<std::string> GetProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}
