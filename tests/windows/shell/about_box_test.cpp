// The About command on the platform's dialog manager: the box from template 100 is modal
// over the frame and ends with Enter on its default button.
#include "tests/windows/shell/shell.h"

namespace vireo::test {
namespace {

using AboutBox = Shell;

TEST_F(AboutBox, IsModalOverTheFrameAndEndsWithEnter) {
    HWND dialog = nullptr;
    std::string caption;
    bool frameEnabledDuring = true;
    HWND owner = nullptr;
    HWND frame = nullptr;
    bool goneAfter = false;
    bool frameEnabledAfter = false;
    ASSERT_EQ(Run({[&] {
                       frame = Frame()->m_hWnd;
                       ::PostMessageA(frame, WM_COMMAND, ID_APP_ABOUT, 0); // as the menu would
                   },
                   WaitUntil([] { return ShownDialog() != nullptr; }),
                   [&] {
                       dialog = ShownDialog();
                       if (!dialog)
                           return;
                       char text[256] = {};
                       ::GetWindowTextA(dialog, text, sizeof text);
                       caption = text;
                       owner = ::GetWindow(dialog, GW_OWNER);
                       frameEnabledDuring = ::IsWindowEnabled(frame) != FALSE;
                       PostKey(WM_KEYDOWN, VK_RETURN);
                   },
                   WaitUntil([&] { return !::IsWindow(dialog); }),
                   [&] {
                       goneAfter = !::IsWindow(dialog);
                       frameEnabledAfter = ::IsWindowEnabled(frame) != FALSE;
                   }}),
              0);
    ASSERT_NE(dialog, nullptr) << "the About box did not show";
    EXPECT_EQ(caption, "VireoWebBrowser 정보");
    EXPECT_EQ(owner, frame) << "owned by the main window";
    EXPECT_FALSE(frameEnabledDuring) << "modal: the frame takes no input meanwhile";
    EXPECT_TRUE(goneAfter) << "Enter pressed its default button";
    EXPECT_TRUE(frameEnabledAfter);
}

} // namespace
} // namespace vireo::test
