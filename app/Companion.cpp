#include "app/Companion.h"

#include "app/ExeLocation.h"
#include "app/StartPage.h"
#include "platform/win/shell.h"

namespace {

std::string TitleFolder() {
    return FormatStdString("%s%s", GetExeDir().GetString(), GetExeTitle(GetExePath()).GetString());
}

} // namespace

int LaunchUpdaterIfPresent() {
    std::string strUpdater = FormatStdString("%s\\Updater.exe", TitleFolder().c_str());
    if (!PathExists(strUpdater.c_str()))
        return 0;
    ::ShellExecuteA(nullptr, nullptr, strUpdater.c_str(), "launcher", nullptr, SW_SHOWNORMAL);
    return 1;
}

int LaunchPlayerIfPresent() {
    std::string strTitleFolder = TitleFolder();
    std::string strPlayer = FormatStdString("%s\\player\\player.exe", strTitleFolder.c_str());
    if (!PathExists(strPlayer.c_str())) {
        strPlayer = FormatStdString("%s\\nodewekit-player\\player.exe", strTitleFolder.c_str());
        if (!PathExists(strPlayer.c_str()))
            return 0;
    }
    ::ShellExecuteA(nullptr, nullptr, strPlayer.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return 1;
}
