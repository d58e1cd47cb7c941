#pragma once

#include <string>

#include "framework/core/CommandLineInfo.h"

// The program's command line: the first parameter names the source, the second the target, and
// the rest are ignored. Every parameter counts as a file name; none of the framework's own
// options is recognised, so the base part keeps its defaults (shell command FileNew).
class CTessiverCommandLineInfo : public CCommandLineInfo {
public:
    CTessiverCommandLineInfo();
    ~CTessiverCommandLineInfo() override;

    void ParseParam(const char* pszParam, bool bFlag, bool bLast) override;

    // The parameters as absolute paths, taken against the folder the program started in.
    std::string m_sourceArg;  // empty when there is no parameter
    std::string m_targetArg;  // empty when there are fewer than two
};
