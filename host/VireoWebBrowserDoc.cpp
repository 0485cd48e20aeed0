#include "host/VireoWebBrowserDoc.h"

IMPLEMENT_DYNCREATE(CVireoWebBrowserDoc, CDocument)

BEGIN_MESSAGE_MAP(CVireoWebBrowserDoc, CDocument)
END_MESSAGE_MAP()

CVireoWebBrowserDoc::CVireoWebBrowserDoc() = default;
CVireoWebBrowserDoc::~CVireoWebBrowserDoc() = default;

BOOL CVireoWebBrowserDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument())
        return FALSE;
    SetTitle("");
    return TRUE;
}
