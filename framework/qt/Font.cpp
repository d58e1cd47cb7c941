#include "framework/draw/Font.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>

CFont::CFont() = default;

CFont::~CFont() {
    DeleteObject();
}

bool CFont::CreateFont(int nHeight, int /*nWidth*/, int /*nEscapement*/, int /*nOrientation*/,
                       int nWeight, int bItalic, int bUnderline, int cStrikeOut, int /*nCharSet*/,
                       int /*nOutPrecision*/, int /*nClipPrecision*/, int /*nQuality*/,
                       int nPitchAndFamily, std::string faceName) {
    auto font = std::make_unique<QFont>(QString::fromStdString(faceName));
    font->setPixelSize(nHeight < 0 ? -nHeight : (nHeight == 0 ? 16 : nHeight));
    font->setWeight(QFont::Weight(nWeight <= 0 ? 400 : nWeight));
    font->setItalic(bItalic != 0);
    font->setUnderline(bUnderline != 0);
    font->setStrikeOut(cStrikeOut != 0);
    font->setStyleHint((nPitchAndFamily & 0xF0) == FF_SWISS ? QFont::SansSerif : QFont::AnyStyle);
    // Rows are drawn at fixed positions: the face must be fixed-pitch even where the named one
    // is missing, so the database's substitute is looked up among monospaced fonts.
    if (faceName == "Courier New") {
        font->setStyleHint(QFont::TypeWriter);
        font->setFixedPitch(true);
    }
    font->setKerning(false);
    // A positive height is the character cell's, a negative one the character's. Qt sizes the
    // character, so for a cell height the size shrinks until the cell fits: a row of this
    // height then holds its text's background exactly, as rows are stacked at that pitch.
    if (nHeight > 0) {
        for (int size = nHeight; size > 1 && QFontMetrics(*font).height() > nHeight;) {
            font->setPixelSize(--size);
        }
    }
    DeleteObject();
    m_hObject = font.release();
    return true;
}

double CFont::GetCellWidth() const {
    if (m_cellWidth == 0.0 && m_hObject != nullptr) {
        m_cellWidth = QFontMetricsF(*m_hObject).horizontalAdvance(QLatin1Char('x'));
    }
    return m_cellWidth;
}

void CFont::DeleteObject() {
    m_cellWidth = 0.0;
    delete m_hObject;
    m_hObject = nullptr;
}
