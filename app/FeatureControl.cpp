#include "app/FeatureControl.h"

#include <cstdlib>

#include "app/ExeLocation.h"
#include "app/Registry.h"
#include "app/StartPage.h"

namespace {

void WriteFeatureValue(Orto::Common::Registry& reg, LPCSTR lpszKey, const CString& strName, DWORD dwValue) {
    reg.Create(lpszKey);
    ::RegSetValueExA(reg.m_hKey, strName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue),
                     sizeof dwValue);
    reg.Close();
}

} // namespace

void ApplyBrowserFeatureControls() {
    CString strExeName = GetExeFileName(GetExePath());
    std::string strEmulation = FormatStdString("%d000", static_cast<int>(GetBrowserMajorVersion()));

    Orto::Common::Registry reg;
    WriteFeatureValue(
        reg, "SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\FEATURE_BROWSER_EMULATION",
        strExeName, static_cast<DWORD>(std::atoi(strEmulation.c_str())));
    WriteFeatureValue(reg,
                      "SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\FEATURE_GPU_RENDERING",
                      strExeName, 1);
    WriteFeatureValue(
        reg, "SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\FEATURE_AJAX_CONNECTIONEVENTS",
        strExeName, 1);
    WriteFeatureValue(reg, "SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\FEATURE_XMLHTTP",
                      strExeName, 1);
}
