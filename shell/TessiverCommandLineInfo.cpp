#include "shell/TessiverCommandLineInfo.h"

#include "framework/core/FileAccess.h"

CTessiverCommandLineInfo::CTessiverCommandLineInfo() = default;
CTessiverCommandLineInfo::~CTessiverCommandLineInfo() = default;

void CTessiverCommandLineInfo::ParseParam(const char* pszParam, bool /*bFlag*/, bool /*bLast*/) {
    // Names from the command line are files in the folder the program started in, whatever
    // folder a dialog moves to later.
    if (m_sourceArg.empty()) {
        m_sourceArg = AfxAbsolutePath(pszParam);
    } else if (m_targetArg.empty()) {
        m_targetArg = AfxAbsolutePath(pszParam);
    }
}
