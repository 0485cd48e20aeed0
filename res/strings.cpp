// The program's string table. Texts are kept in UTF-8 and handed out in the ANSI code
// page by LoadString.
#include "platform/win/resources.h"
#include "res/resource.h"

namespace {

const vireo::win::StringResource kStrings[] = {
    {57344, "VireoWebBrowser"},
    {IDP_OLE_INIT_FAILED, "OLE를 초기화할 수 없습니다.  OLE 라이브러리 버전이 올바른지 확인하십시오."},
};

} // namespace

namespace vireo::res {

void RegisterStrings() {
    win::RegisterStringResources(kStrings, sizeof kStrings / sizeof kStrings[0]);
}

} // namespace vireo::res
