#include "platform/afx/document.h"

#include <algorithm>

#include "platform/afx/afxres.h"
#include "platform/afx/winapp.h"
#include "platform/win/file.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)
IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CDocument::~CDocument() {
    for (CView* v : m_views)
        v->m_pDocument = nullptr;
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCSTR lpszTitle) {
    m_strTitle = lpszTitle;
    UpdateFrameCounts();
}

void CDocument::UpdateFrameCounts() {
    for (CView* v : m_views)
        if (CFrameWnd* frame = v->GetParentFrame())
            frame->OnUpdateFrameTitle(TRUE);
}

void CDocument::SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU) {
    char full[MAX_PATH];
    LPSTR filePart = nullptr;
    DWORD n = GetFullPathNameA(lpszPathName, MAX_PATH, full, &filePart);
    m_strPathName = (n > 0 && n < MAX_PATH) ? full : lpszPathName;
    // The document is titled after its file.
    int slash = m_strPathName.ReverseFind('\\');
    SetTitle(m_strPathName.Mid(slash + 1));
    if (bAddToMRU)
        if (CWinApp* app = AfxGetApp())
            app->AddToRecentFileList(m_strPathName);
}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCSTR lpszPathName) {
    // The file must open for reading; a document of this kind reads nothing from it.
    HANDLE file = CreateFileA(lpszPathName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        CString prompt;
        CString format;
        format.LoadString(AFX_IDP_FAILED_INVALID_PATH);
        prompt.Format(format, lpszPathName);
        AfxMessageBox(prompt, MB_OK, AFX_IDP_FAILED_INVALID_PATH);
        return FALSE;
    }
    CloseHandle(file);
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument() {
    // Destroying the frames destroys the views, which leave the list as they go.
    BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_views.empty()) {
        CView* view = m_views.front();
        CFrameWnd* frame = view->GetParentFrame();
        if (frame)
            frame->DestroyWindow();
        else
            view->DestroyWindow();
        if (!m_views.empty() && m_views.front() == view)
            RemoveView(view);
    }
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

void CDocument::DeleteContents() {}

void CDocument::AddView(CView* pView) {
    m_views.push_back(pView);
    pView->m_pDocument = this;
}

void CDocument::RemoveView(CView* pView) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), pView), m_views.end());
    pView->m_pDocument = nullptr;
    // A document lives as long as it has views.
    if (m_views.empty() && m_bAutoDelete)
        OnCloseDocument();
}

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass),
      m_pViewClass(pViewClass) {}

CDocument* CDocTemplate::CreateNewDocument() {
    CObject* object = m_pDocClass ? m_pDocClass->CreateObject() : nullptr;
    auto* doc = dynamic_cast<CDocument*>(object);
    if (!doc) {
        delete object;
        return nullptr;
    }
    doc->m_pDocTemplate = this;
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) {
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* object = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
    auto* frame = dynamic_cast<CFrameWnd*>(object);
    if (!frame) {
        delete object;
        return nullptr;
    }
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr; // the frame deleted itself as its window went
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible) {
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                       CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    if (m_pOnlyDoc) {
        m_pOnlyDoc->m_pDocTemplate = nullptr;
        m_pOnlyDoc->OnCloseDocument();
    }
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc) {
    if (m_pOnlyDoc == pDoc)
        m_pOnlyDoc = nullptr;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument) {
    CString name;
    name.LoadString(AFX_IDS_UNTITLED);
    pDocument->SetTitle(name);
}

void CSingleDocTemplate::CloseAllDocuments(BOOL) {
    if (m_pOnlyDoc)
        m_pOnlyDoc->OnCloseDocument();
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCSTR lpszPathName, BOOL bAddToMRU, BOOL bMakeVisible) {
    CDocument* pDocument = nullptr;
    CFrameWnd* pFrame = nullptr;
    BOOL bCreated = FALSE;
    if (m_pOnlyDoc) {
        pDocument = m_pOnlyDoc;
        if (!pDocument->SaveModified())
            return nullptr;
        pFrame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    } else {
        pDocument = CreateNewDocument();
        bCreated = TRUE;
    }
    if (!pDocument) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        return nullptr;
    }
    m_pOnlyDoc = pDocument;
    if (!pFrame) {
        BOOL autoDelete = pDocument->m_bAutoDelete;
        pDocument->m_bAutoDelete = FALSE; // a failed frame must not take the document with it
        pFrame = CreateNewFrame(pDocument, nullptr);
        pDocument->m_bAutoDelete = autoDelete;
        if (!pFrame) {
            AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
            delete pDocument;
            return nullptr;
        }
    }
    if (!lpszPathName) {
        SetDefaultTitle(pDocument);
        if (!pDocument->OnNewDocument()) {
            if (bCreated)
                pFrame->DestroyWindow(); // takes the document with it
            return nullptr;
        }
    } else {
        pDocument->SetModifiedFlag(FALSE);
        if (!pDocument->OnOpenDocument(lpszPathName)) {
            if (bCreated)
                pFrame->DestroyWindow();
            return nullptr;
        }
        pDocument->SetPathName(lpszPathName, bAddToMRU);
    }
    CWinApp* app = AfxGetApp();
    if (bCreated && app && !app->m_pMainWnd)
        app->m_pMainWnd = pFrame; // InitialUpdateFrame shows it
    InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
    return pDocument;
}
