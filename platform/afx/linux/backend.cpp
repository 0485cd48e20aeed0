// The framework over our Linux layer: its strings are registered with the layer's
// resources, keys come from the desktop's own event handlers, and the desktop's
// containers size the views.
#include "platform/afx/backend.h"

#include <vector>

#include "platform/afx/afxres.h"

namespace vireo::afx {

void PrepareFrameworkResources() {
    static const vireo::win::StringResource strings[] = {
        {AFX_IDS_UNTITLED, "제목 없음"},
        {AFX_IDS_OPENFILE, "열기"},
        {AFX_IDS_ALLFILTER, "모든 파일 (*.*)"},
        {AFX_IDP_FAILED_TO_OPEN_DOC, "문서를 열지 못했습니다."},
        {AFX_IDP_FAILED_TO_CREATE_DOC, "새 문서를 만들지 못했습니다."},
        {AFX_IDP_FAILED_INVALID_PATH, "%s\n파일을 열 수 없습니다. 경로와 파일 이름이 올바른지 확인하십시오."},
        {AFX_IDP_UNREG_DONE, "시스템 레지스트리 항목을 제거했습니다."},
        {AFX_IDP_UNREG_FAILURE, "시스템 레지스트리 항목을 모두 제거하지는 못했습니다."},
    };
    // The program's own table may override any of them.
    std::vector<vireo::win::StringResource> missing;
    char probe[4];
    for (const auto& s : strings)
        if (LoadStringA(GetModuleHandleA(nullptr), s.id, probe, sizeof probe) == 0)
            missing.push_back(s);
    vireo::win::RegisterStringResources(missing.data(), missing.size());
}

// GTK hands key events to the toplevel's handler, not to a queue the loop reads, so the
// layer offers them to the filter there.
void BeginPreTranslation(BOOL (*filter)(MSG* pMsg)) {
    vireo::win::SetInputFilter(filter);
}

void EndPreTranslation() {
    vireo::win::SetInputFilter(nullptr);
}

// The layer's message boxes know the unattended mode themselves.
int ShowMessageBox(HWND hWndOwner, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    return ::MessageBoxA(hWndOwner, lpText, lpCaption, uType);
}

void FillClientArea(HWND, HWND) {}

} // namespace vireo::afx
