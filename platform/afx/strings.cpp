#include "platform/afx/strings.h"

#include <vector>

#include "platform/afx/afxres.h"
#include "platform/afx/winapp.h"
#include "platform/win/resources.h"

namespace vireo::afx {

void RegisterFrameworkStrings() {
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
    std::vector<vireo::win::StringResource> missing;
    char probe[4];
    for (const auto& s : strings)
        if (LoadStringA(GetModuleHandleA(nullptr), s.id, probe, sizeof probe) == 0)
            missing.push_back(s);
    vireo::win::RegisterStringResources(missing.data(), missing.size());
}

} // namespace vireo::afx
