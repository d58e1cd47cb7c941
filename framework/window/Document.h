#pragma once

#include <string>
#include <vector>

#include "framework/core/CmdTarget.h"

class CView;

// What Serialize is given: the direction, and the file being loaded or stored.
class CArchive {
public:
    enum Mode { load, store };
    CArchive(Mode mode, std::string path) : m_mode(mode), m_path(std::move(path)) {}
    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }
    const std::string& GetPath() const { return m_path; }

private:
    Mode m_mode;
    std::string m_path;
};

// A document owns the data; its views show it. Every change ends in UpdateAllViews.
class CDocument : public CCmdTarget {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    CDocument();
    ~CDocument() override;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    // Asks every view except pSender to update (OnUpdate with the hint).
    void UpdateAllViews(CView* pSender, long lHint = 0, CObject* pHint = nullptr);
    const std::vector<CView*>& GetViews() const { return m_views; }
    void AddView(CView* pView);
    void RemoveView(CView* pView);

    // The framework's New: empties the document (DeleteContents) and names it "Untitled".
    virtual bool OnNewDocument();
    // The framework's Open: opens the file, loads it through Serialize and closes it again.
    // Throws, naming the file and the system's reason, when it cannot be opened.
    virtual bool OnOpenDocument(const std::string& path);
    virtual void DeleteContents() {}
    virtual void Serialize(CArchive& ar);

    const std::string& GetTitle() const { return m_title; }
    void SetTitle(std::string title) { m_title = std::move(title); }
    const std::string& GetPathName() const { return m_pathName; }
    void SetPathName(std::string path) { m_pathName = std::move(path); }

private:
    std::vector<CView*> m_views;  // not owned: views belong to their windows
    std::string m_title;
    std::string m_pathName;
};
