#include "framework/window/Document.h"

#include <algorithm>
#include <stdexcept>

#include "framework/window/View.h"
#include "platform/File.h"

const CRuntimeClass CDocument::runtimeClass{"CDocument", &CCmdTarget::runtimeClass, nullptr};

CDocument::CDocument() = default;

CDocument::~CDocument() {
    // Views outlive their document only during teardown; make sure none points back at it.
    for (CView* pView : m_views) {
        pView->m_pDocument = nullptr;
    }
}

void CDocument::AddView(CView* pView) {
    if (std::find(m_views.begin(), m_views.end(), pView) == m_views.end()) {
        m_views.push_back(pView);
        pView->m_pDocument = this;
    }
}

void CDocument::RemoveView(CView* pView) {
    auto it = std::find(m_views.begin(), m_views.end(), pView);
    if (it != m_views.end()) {
        m_views.erase(it);
        pView->m_pDocument = nullptr;
    }
}

void CDocument::UpdateAllViews(CView* pSender, long lHint, CObject* pHint) {
    // Copy: an update may create or remove views.
    const std::vector<CView*> views = m_views;
    for (CView* pView : views) {
        if (pView != pSender) {
            pView->OnUpdate(pSender, lHint, pHint);
        }
    }
}

bool CDocument::OnNewDocument() {
    DeleteContents();
    m_pathName.clear();
    m_title = "Untitled";
    return true;
}

bool CDocument::OnOpenDocument(const std::string& path) {
    // Only a file that opens is loaded; the file itself is closed again before Serialize.
    if (std::string reason; !CInputFile().Open(path, &reason)) {
        throw std::runtime_error(path + ": " + reason);
    }
    DeleteContents();
    CArchive ar(CArchive::load, path);
    Serialize(ar);
    return true;
}

void CDocument::Serialize(CArchive& /*ar*/) {}
