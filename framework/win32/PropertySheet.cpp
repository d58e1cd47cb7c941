// The Win32 half of CPropertySheet: the system's property sheet, its pages from in-memory
// templates.
#include "framework/dialog/PropertySheet.h"

#include <commctrl.h>
#include <prsht.h>

#include <vector>

#include "framework/core/ResourceTypes.h"
#include "framework/core/Resources.h"
#include "framework/dialog/PropertyPage.h"
#include "framework/registry/Registry.h"
#include "framework/win32/DialogTemplate.h"
#include "framework/win32/Win32Support.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/WinApp.h"

namespace {

INT_PTR CALLBACK PageProc(HWND hPage, UINT message, WPARAM /*wParam*/, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* page = reinterpret_cast<CPropertyPage*>(
            reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
        page->Attach(hPage);
        return TRUE;
    }
    auto* page = dynamic_cast<CPropertyPage*>(AfxFromHandle(hPage));
    if (page == nullptr || message != WM_NOTIFY) {
        return FALSE;
    }
    switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE:
            page->OnSetActive();
            return TRUE;
        case PSN_APPLY: {
            const RegistryBatch batch;  // what the page stores goes together
            page->UpdateData(true);
            page->OnOK();
            return TRUE;
        }
        case PSN_RESET:
            page->OnCancel();
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int CPropertySheet::DoModal() {
    std::vector<std::vector<WORD>> templates;
    std::vector<std::wstring> captions;
    templates.reserve(m_pages.size());
    captions.reserve(m_pages.size());
    std::vector<PROPSHEETPAGEW> pages;
    for (CPropertyPage* page : m_pages) {
        const DialogDef* def = AfxFindDialog(page->GetTemplateId());
        if (def == nullptr) {
            continue;
        }
        templates.push_back(BuildDialogTemplate(*def, true));
        captions.push_back(Widen(page->GetCaption()));
        PROPSHEETPAGEW sheetPage{};
        sheetPage.dwSize = sizeof sheetPage;
        sheetPage.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
        sheetPage.hInstance = AfxGetInstanceHandle();
        sheetPage.pResource = reinterpret_cast<const DLGTEMPLATE*>(templates.back().data());
        sheetPage.pszTitle = captions.back().c_str();
        sheetPage.pfnDlgProc = &PageProc;
        sheetPage.lParam = reinterpret_cast<LPARAM>(page);
        pages.push_back(sheetPage);
    }
    const std::wstring caption = Widen(m_strCaption);
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOCONTEXTHELP;
    header.hwndParent = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (header.hwndParent == nullptr && AfxGetApp() != nullptr &&
        AfxGetApp()->m_pMainWnd != nullptr) {
        header.hwndParent = AfxGetApp()->m_pMainWnd->GetSafeHwnd();
    }
    header.hInstance = AfxGetInstanceHandle();
    header.pszCaption = caption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = m_nStartPage < pages.size() ? m_nStartPage : 0;
    header.ppsp = pages.data();
    const CCentredDialogs centred(header.hwndParent);
    return PropertySheetW(&header) > 0 ? IDOK : IDCANCEL;
}
