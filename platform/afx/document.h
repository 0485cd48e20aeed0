// CDocument and the document templates that tie a document class to its frame and
// view classes.
#pragma once

#include <vector>

#include "platform/afx/frame.h"

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument() = default;
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    virtual void SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU = TRUE);
    BOOL IsModified() const { return m_bModified; }
    void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCSTR lpszPathName);
    virtual void OnCloseDocument();
    virtual void DeleteContents();
    virtual BOOL SaveModified() { return TRUE; }

    void AddView(CView* pView);
    void RemoveView(CView* pView);
    const std::vector<CView*>& Views() const { return m_views; }
    void UpdateFrameCounts();

    CDocTemplate* m_pDocTemplate = nullptr;
    BOOL m_bAutoDelete = TRUE;

protected:
    CString m_strTitle;
    CString m_strPathName;
    BOOL m_bModified = FALSE;
    std::vector<CView*> m_views;
};

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    ~CDocTemplate() override = default;

    virtual CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bAddToMRU, BOOL bMakeVisible) = 0;
    virtual void CloseAllDocuments(BOOL bEndSession) = 0;
    virtual void RemoveDocument(CDocument* pDoc) = 0;
    virtual CDocument* CreateNewDocument();
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    virtual void SetDefaultTitle(CDocument* pDocument) = 0;
    UINT GetResourceID() const { return m_nIDResource; }

protected:
    CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                 CRuntimeClass* pViewClass);

    UINT m_nIDResource;
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
};

class CSingleDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                       CRuntimeClass* pViewClass);
    ~CSingleDocTemplate() override;

    CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bAddToMRU = TRUE,
                                BOOL bMakeVisible = TRUE) override;
    void CloseAllDocuments(BOOL bEndSession) override;
    void RemoveDocument(CDocument* pDoc) override;
    void SetDefaultTitle(CDocument* pDocument) override;
    CDocument* GetOnlyDocument() const { return m_pOnlyDoc; }

protected:
    CDocument* m_pOnlyDoc = nullptr;
};
