#pragma once

#include <string>

#include "framework/core/Object.h"

// What the command line asks of the framework: the shell command and its file. The framework's
// ParseCommandLine hands each parameter to ParseParam; a program with its own rules overrides it.
class CCommandLineInfo : public CObject {
public:
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileNothing };

    CCommandLineInfo();
    ~CCommandLineInfo() override;

    // pszParam is the parameter's text, without the leading flag character of a flag; bFlag
    // tells whether it had one, bLast whether it is the last parameter.
    virtual void ParseParam(const char* pszParam, bool bFlag, bool bLast);

    int m_nShellCommand = FileNew;
    std::string m_strFileName;
    std::string m_strPrinterName;
};

// Whether a parameter that begins with c is a flag. "-" is one everywhere; on Windows "/" is one
// too, while on POSIX systems "/" begins an absolute path.
bool AfxIsFlagCharacter(char c);
