#pragma once

#include <memory>
#include <string>

#include "framework/core/CmdTarget.h"
#include "framework/core/Platform.h"

class CDocument;
class CFrameWnd;
class CView;
class CDocTemplate;

// What a frame needs to create its views: the view class and the document they show.
struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

class CDocTemplate : public CCmdTarget {
public:
    ~CDocTemplate() override;
    UINT GetResourceId() const { return m_nIDResource; }

protected:
    CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                 const CRuntimeClass* pViewClass);

    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
};

// The single-document template: one document, one main frame, created from their class records.
class CSingleDocTemplate : public CDocTemplate {
public:
    CSingleDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                       const CRuntimeClass* pFrameClass, const CRuntimeClass* pViewClass);
    ~CSingleDocTemplate() override;

    // With no path: creates the document and its frame the first time (the frame builds its
    // views), then runs New on the document and gives every view its initial update.
    // With a path: the framework's Open of that file into the one document.
    CDocument* OpenDocumentFile(const std::string* pPath, bool bMakeVisible = true);

    CDocument* GetDocument() const { return m_pDocument.get(); }
    CFrameWnd* GetFrame() const { return m_pFrame.get(); }

private:
    std::unique_ptr<CDocument> m_pDocument;
    std::unique_ptr<CFrameWnd> m_pFrame;
};
