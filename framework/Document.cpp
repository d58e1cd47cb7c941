#include "framework/Document.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

#include "engine/FileException.h"
#include "framework/View.h"

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
    // Not blocking: opening a named pipe would otherwise wait for some process to write to it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        throw CFileException(path, std::strerror(errno));
    }
    ::close(fd);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        throw CFileException(path, std::strerror(EISDIR));
    }
    DeleteContents();
    CArchive ar(CArchive::load, path);
    Serialize(ar);
    return true;
}

void CDocument::Serialize(CArchive& /*ar*/) {}
