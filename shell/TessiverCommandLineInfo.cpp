#include "shell/TessiverCommandLineInfo.h"

CTessiverCommandLineInfo::CTessiverCommandLineInfo() = default;
CTessiverCommandLineInfo::~CTessiverCommandLineInfo() = default;

void CTessiverCommandLineInfo::ParseParam(const char* pszParam, bool /*bFlag*/, bool /*bLast*/) {
    if (m_sourceArg.empty()) {
        m_sourceArg = pszParam;
    } else if (m_targetArg.empty()) {
        m_targetArg = pszParam;
    }
}
