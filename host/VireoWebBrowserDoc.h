// The document: the framework needs one, but the book's pages never come from it.
#pragma once

#include "platform/afx/afxwin.h"

class CVireoWebBrowserDoc : public CDocument {
    DECLARE_DYNCREATE(CVireoWebBrowserDoc)
public:
    ~CVireoWebBrowserDoc() override;
    BOOL OnNewDocument() override;

    DECLARE_MESSAGE_MAP()

protected:
    CVireoWebBrowserDoc();
};
