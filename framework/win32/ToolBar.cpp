// The Win32 half of CToolBar: a toolbar control with an image list from the program's bitmap of
// the same number; its tooltips come from the frame (the toolbar asks its parent for them).
#include "framework/window/ToolBar.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "framework/core/CmdUI.h"
#include "framework/core/ResourceTypes.h"
#include "framework/core/Resources.h"
#include "framework/win32/Win32Support.h"
#include "framework/window/FrameWnd.h"

namespace {
// Where a button image shows no colour of its own.
constexpr COLORREF kImageMask = RGB(255, 0, 255);

// Scales each cx-by-cy image of the strip on its own to dcx by dcy: a pixel of the result takes
// the colours of the source pixels under it, weighted by how much of it each covers, and stays
// transparent where transparent ones cover at least half of it.
void ScaleStrip(const std::vector<RGBQUAD>& strip, int nImages, int cx, int cy,
                std::span<RGBQUAD> scaled, int dcx, int dcy) {
    const double fx = static_cast<double>(cx) / dcx;
    const double fy = static_cast<double>(cy) / dcy;
    const RGBQUAD mask{GetBValue(kImageMask), GetGValue(kImageMask), GetRValue(kImageMask), 0};
    for (int image = 0; image < nImages; ++image) {
        for (int y = 0; y < dcy; ++y) {
            for (int x = 0; x < dcx; ++x) {
                const double x0 = x * fx;
                const double x1 = x0 + fx;
                const double y0 = y * fy;
                const double y1 = y0 + fy;
                double blue = 0;
                double green = 0;
                double red = 0;
                double opaque = 0;
                for (int sy = static_cast<int>(y0); sy < y1 && sy < cy; ++sy) {
                    const double wy = std::min(sy + 1.0, y1) - std::max<double>(sy, y0);
                    for (int sx = static_cast<int>(x0); sx < x1 && sx < cx; ++sx) {
                        const RGBQUAD pixel =
                            strip[static_cast<std::size_t>(sy * cx * nImages + image * cx + sx)];
                        if (RGB(pixel.rgbRed, pixel.rgbGreen, pixel.rgbBlue) == kImageMask) {
                            continue;
                        }
                        const double w = wy * (std::min(sx + 1.0, x1) - std::max<double>(sx, x0));
                        blue += w * pixel.rgbBlue;
                        green += w * pixel.rgbGreen;
                        red += w * pixel.rgbRed;
                        opaque += w;
                    }
                }
                const auto channel = [opaque](double sum) {
                    return static_cast<BYTE>(std::lround(sum / opaque));
                };
                scaled[static_cast<std::size_t>(y * dcx * nImages + image * dcx + x)] =
                    opaque * 2 >= fx * fy ? RGBQUAD{channel(blue), channel(green), channel(red), 0}
                                          : mask;
            }
        }
    }
}

// The images of the toolbar resource, one per button, at dpi: at 96 the bitmap as it is.
HIMAGELIST LoadImages(const ToolBarDef& def, UINT dpi) {
    HINSTANCE instance = AfxGetInstanceHandle();
    if (dpi == 96) {
        return ImageList_LoadImageW(instance, MAKEINTRESOURCEW(def.id), def.nButtonWidth, 0,
                                    kImageMask, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    }
    auto source = static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(def.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP shape{};
    if (source == nullptr || GetObjectW(source, sizeof shape, &shape) == 0 ||
        shape.bmWidth < def.nButtonWidth || shape.bmHeight != def.nButtonHeight) {
        DeleteObject(source);
        return nullptr;
    }
    const int nImages = shape.bmWidth / def.nButtonWidth;
    const int cx = def.nButtonWidth;
    const int cy = def.nButtonHeight;
    const int dcx = AfxScale(cx, dpi);
    const int dcy = AfxScale(cy, dpi);
    // Both as 32-bit rows from the top down.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = cx * nImages;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> strip(static_cast<std::size_t>(cx * nImages * cy));
    HDC screen = GetDC(nullptr);
    const int lines =
        GetDIBits(screen, source, 0, static_cast<UINT>(cy), strip.data(), &info, DIB_RGB_COLORS);
    DeleteObject(source);
    info.bmiHeader.biWidth = dcx * nImages;
    info.bmiHeader.biHeight = -dcy;
    void* bits = nullptr;
    HBITMAP scaled =
        lines == cy ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    ReleaseDC(nullptr, screen);
    if (scaled == nullptr) {
        return nullptr;
    }
    ScaleStrip(
        strip, nImages, cx, cy,
        std::span(static_cast<RGBQUAD*>(bits), static_cast<std::size_t>(dcx * nImages * dcy)), dcx,
        dcy);
    HIMAGELIST images = ImageList_Create(dcx, dcy, ILC_COLOR24 | ILC_MASK, nImages, 0);
    if (images != nullptr && ImageList_AddMasked(images, scaled, kImageMask) < 0) {
        ImageList_Destroy(images);
        images = nullptr;
    }
    DeleteObject(scaled);
    return images;
}

// Gives the bar the images at its window's dpi, in place of any it had.
bool SetImages(CWnd& wnd, const ToolBarDef& def) {
    HWND bar = wnd.GetSafeHwnd();
    const UINT dpi = AfxDpiOf(bar);
    HIMAGELIST images = LoadImages(def, dpi);
    if (images == nullptr) {
        return false;
    }
    HIMAGELIST old = wnd.GetImpl().images;
    const int cx = AfxScale(def.nButtonWidth, dpi);
    const int cy = AfxScale(def.nButtonHeight, dpi);
    if (dpi != 96 || old != nullptr) {
        SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(cx, cy));
    }
    SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    if (old != nullptr) {
        // The buttons were sized for the old images: size them for the new.
        const auto padding = static_cast<DWORD>(SendMessageW(bar, TB_GETPADDING, 0, 0));
        SendMessageW(bar, TB_SETBUTTONSIZE, 0,
                     MAKELPARAM(cx + LOWORD(padding), cy + HIWORD(padding)));
        ImageList_Destroy(old);
    }
    wnd.GetImpl().images = images;
    wnd.GetImpl().toolBarId = def.id;
    return true;
}

}  // namespace

void AfxScaleToolBarImages(HWND hBar) {
    CWnd* pBar = AfxFromHandle(hBar);
    const UINT id = pBar != nullptr ? pBar->GetImpl().toolBarId : 0;
    if (const ToolBarDef* def = id != 0 ? AfxFindToolBar(id) : nullptr) {
        SetImages(*pBar, *def);
        SendMessageW(hBar, TB_AUTOSIZE, 0, 0);
        InvalidateRect(hBar, nullptr, TRUE);
    }
}

bool CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    HWND parent = pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr;
    HWND bar =
        CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                        WS_CHILD | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP |
                            CCS_NODIVIDER | (dwStyle & WS_VISIBLE),
                        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                        AfxGetInstanceHandle(), nullptr);
    if (bar == nullptr) {
        return false;
    }
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    Attach(bar);
    InitBar(pParentWnd, dwStyle, nID);
    return true;
}

bool CToolBar::CreateButtons(const ToolBarDef& def) {
    HWND bar = GetSafeHwnd();
    if (!SetImages(*this, def)) {
        return false;
    }
    std::vector<TBBUTTON> buttons;
    int nImage = 0;
    for (const Button& button : m_buttons) {
        TBBUTTON item{};
        if (button.id == 0) {
            item.fsStyle = BTNS_SEP;
        } else {
            item.iBitmap = nImage++;
            item.idCommand = static_cast<int>(button.id);
            item.fsState = TBSTATE_ENABLED;
            item.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(item);
    }
    SendMessageW(bar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(bar, TB_AUTOSIZE, 0, 0);
    return true;
}

void CToolBar::ApplyButtonState(int nIndex, const CCmdUI& ui) {
    // By the button's place, not its command: the system's by-command messages reach only the
    // first button that carries the command.
    HWND bar = GetSafeHwnd();
    TBBUTTON button{};
    if (bar == nullptr ||
        !SendMessageW(bar, TB_GETBUTTON, nIndex, reinterpret_cast<LPARAM>(&button))) {
        return;
    }
    const auto with = [](BYTE state, BYTE flag, bool bOn) {
        return static_cast<BYTE>(bOn ? state | flag : state & ~flag);
    };
    BYTE state = with(button.fsState, TBSTATE_ENABLED, ui.m_bEnabled);
    if (ui.m_nCheck) {
        state = with(state, TBSTATE_CHECKED, *ui.m_nCheck != 0);
    }
    // Only changes are sent: the bar repaints on every one.
    if (state != button.fsState) {
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_BYINDEX | TBIF_STATE;
        info.fsState = state;
        SendMessageW(bar, TB_SETBUTTONINFOW, nIndex, reinterpret_cast<LPARAM>(&info));
    }
}

void CToolBar::EnableDocking(DWORD dwDockStyle) {
    // The bar stays docked where its style puts it; the record is kept for the bar state.
    CControlBar::EnableDocking(dwDockStyle);
}

void CToolBar::ApplyTooltips() {
    HWND bar = GetSafeHwnd();
    if (bar == nullptr) {
        return;
    }
    if (auto tips = reinterpret_cast<HWND>(SendMessageW(bar, TB_GETTOOLTIPS, 0, 0))) {
        SendMessageW(tips, TTM_ACTIVATE, (m_dwStyle & CBRS_TOOLTIPS) != 0 ? TRUE : FALSE, 0);
    }
}
