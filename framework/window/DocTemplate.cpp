#include "framework/window/DocTemplate.h"

#include "framework/window/Document.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/WinApp.h"

CDocTemplate::CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                           const CRuntimeClass* pFrameClass, const CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource),
      m_pDocClass(pDocClass),
      m_pFrameClass(pFrameClass),
      m_pViewClass(pViewClass) {}

CDocTemplate::~CDocTemplate() = default;

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                                       const CRuntimeClass* pFrameClass,
                                       const CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    // The frame's views point at the document: the frame goes first.
    m_pFrame.reset();
    m_pDocument.reset();
}

namespace {
template <class T>
std::unique_ptr<T> CreateFromRecord(const CRuntimeClass* pClass) {
    std::unique_ptr<CObject> object = pClass != nullptr ? pClass->CreateObject() : nullptr;
    if (dynamic_cast<T*>(object.get()) == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<T>(static_cast<T*>(object.release()));
}
}  // namespace

CDocument* CSingleDocTemplate::OpenDocumentFile(const std::string* pPath, bool bMakeVisible) {
    const bool bCreated = m_pDocument == nullptr;
    if (bCreated) {
        m_pDocument = CreateFromRecord<CDocument>(m_pDocClass);
        if (!m_pDocument) {
            return nullptr;
        }
        m_pFrame = CreateFromRecord<CFrameWnd>(m_pFrameClass);
        CCreateContext context{m_pViewClass, m_pDocument.get(), this, m_pFrame.get()};
        if (!m_pFrame || !m_pFrame->LoadFrame(m_nIDResource, &context)) {
            m_pFrame.reset();
            m_pDocument.reset();
            return nullptr;
        }
        if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd == nullptr) {
            app->m_pMainWnd = m_pFrame.get();
        }
    }
    if (pPath == nullptr) {
        if (!m_pDocument->OnNewDocument()) {
            return nullptr;
        }
    } else if (!m_pDocument->OnOpenDocument(*pPath)) {
        return nullptr;
    } else {
        m_pDocument->SetPathName(*pPath);
    }
    if (bCreated) {
        m_pFrame->InitialUpdateFrame(m_pDocument.get(), bMakeVisible);
    } else {
        m_pDocument->UpdateAllViews(nullptr);
        m_pFrame->OnUpdateFrameTitle();
    }
    return m_pDocument.get();
}
