#include "framework/core/CommandLineInfo.h"

#include <strings.h>

CCommandLineInfo::CCommandLineInfo() = default;
CCommandLineInfo::~CCommandLineInfo() = default;

void CCommandLineInfo::ParseParam(const char* pszParam, bool bFlag, bool /*bLast*/) {
    if (bFlag) {
        if (strcasecmp(pszParam, "p") == 0) {
            m_nShellCommand = FilePrint;
        } else if (strcasecmp(pszParam, "pt") == 0) {
            m_nShellCommand = FilePrintTo;
        }
        return;
    }
    if (m_strFileName.empty()) {
        m_strFileName = pszParam;
        if (m_nShellCommand == FileNew) {
            m_nShellCommand = FileOpen;
        }
    } else if (m_nShellCommand == FilePrintTo && m_strPrinterName.empty()) {
        m_strPrinterName = pszParam;
    }
}
