// The Win32 half of CFont: a GDI font from the same arguments.
#include "framework/draw/Font.h"

#include "framework/win32/Win32Support.h"

CFont::CFont() = default;

CFont::~CFont() {
    DeleteObject();
}

bool CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                       int bItalic, int bUnderline, int cStrikeOut, int nCharSet, int nOutPrecision,
                       int nClipPrecision, int nQuality, int nPitchAndFamily,
                       std::string faceName) {
    DeleteObject();
    m_hObject = CreateFontW(nHeight, nWidth, nEscapement, nOrientation, nWeight,
                            static_cast<DWORD>(bItalic), static_cast<DWORD>(bUnderline),
                            static_cast<DWORD>(cStrikeOut), static_cast<DWORD>(nCharSet),
                            static_cast<DWORD>(nOutPrecision), static_cast<DWORD>(nClipPrecision),
                            static_cast<DWORD>(nQuality), static_cast<DWORD>(nPitchAndFamily),
                            Widen(faceName).c_str());
    return m_hObject != nullptr;
}

double CFont::GetCellWidth() const {
    if (m_cellWidth == 0.0 && m_hObject != nullptr) {
        HDC hdc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(hdc, m_hObject);
        TEXTMETRICW metrics{};
        GetTextMetricsW(hdc, &metrics);
        SelectObject(hdc, old);
        ReleaseDC(nullptr, hdc);
        m_cellWidth = metrics.tmAveCharWidth;
    }
    return m_cellWidth;
}

void CFont::DeleteObject() {
    m_cellWidth = 0.0;
    if (m_hObject != nullptr) {
        ::DeleteObject(m_hObject);
        m_hObject = nullptr;
    }
}
