#include "framework/core/CommandLineInfo.h"

#include <algorithm>
#include <cctype>
#include <string_view>

CCommandLineInfo::CCommandLineInfo() = default;
CCommandLineInfo::~CCommandLineInfo() = default;

namespace {
bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}
}  // namespace

void CCommandLineInfo::ParseParam(const char* pszParam, bool bFlag, bool /*bLast*/) {
    if (bFlag) {
        if (EqualNoCase(pszParam, "p")) {
            m_nShellCommand = FilePrint;
        } else if (EqualNoCase(pszParam, "pt")) {
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
