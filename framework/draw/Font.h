#pragma once

#include <string>

#include "framework/core/Platform.h"

// A font made from the platform's font-creation arguments. The height is in pixels; where the
// face is missing, the font database supplies a metric twin.
class CFont {
public:
    CFont();
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    bool CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                    int bItalic, int bUnderline, int cStrikeOut, int nCharSet, int nOutPrecision,
                    int nClipPrecision, int nQuality, int nPitchAndFamily, std::string faceName);
    void DeleteObject();
    bool IsCreated() const { return m_hObject != nullptr; }

    // The platform's font, for the framework's drawing code; null before CreateFont.
    HFONT GetSafeHandle() const { return m_hObject; }

    // The advance of one character in pixels, as text is drawn on the screen: the width of a
    // cell, in the fixed-pitch faces the panes use (their average character width); 0 before
    // CreateFont.
    double GetCellWidth() const;

private:
    HFONT m_hObject = nullptr;
    mutable double m_cellWidth = 0.0;  // measured on first use
};
