// Message boxes: one table of buttons and answers, followed alike by the unattended
// path and the simulated desktop (the GTK desktop builds its buttons from it too).
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/sim/sim_desktop.h"
#include "platform/win/msgbox.h"
#include "tests/support/test_support.h"

namespace {

struct Answers {
    UINT type;
    std::vector<int> buttons;
    int defaultAnswer;
    int closeAnswer;
};

const Answers kTable[] = {
    {MB_OK, {IDOK}, IDOK, IDOK},
    {MB_OK | MB_DEFBUTTON2, {IDOK}, IDOK, IDOK}, // no second button: the first
    {MB_OKCANCEL, {IDOK, IDCANCEL}, IDOK, IDCANCEL},
    {MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL}, IDCANCEL, IDCANCEL},
    {MB_YESNO, {IDYES, IDNO}, IDYES, IDYES}, // cannot be closed without a button
    {MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, {IDYES, IDNO}, IDNO, IDNO},
    {MB_YESNOCANCEL | MB_DEFBUTTON3, {IDYES, IDNO, IDCANCEL}, IDCANCEL, IDCANCEL},
    {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, {IDABORT, IDRETRY, IDIGNORE}, IDRETRY, IDRETRY},
    {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, IDRETRY, IDCANCEL},
    {MB_CANCELTRYCONTINUE | MB_DEFBUTTON3, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}, IDCONTINUE, IDCANCEL},
};

TEST(MessageBox, OneTableOfButtonsAndAnswers) {
    for (const Answers& a : kTable) {
        vireo::win::MessageBoxLayout layout = vireo::win::MessageBoxLayoutOf(a.type);
        std::vector<int> ids;
        for (const auto& b : layout.buttons)
            ids.push_back(b.id);
        EXPECT_EQ(ids, a.buttons) << std::hex << a.type;
        EXPECT_EQ(layout.defaultAnswer, a.defaultAnswer) << std::hex << a.type;
        EXPECT_EQ(layout.closeAnswer, a.closeAnswer) << std::hex << a.type;
    }
}

TEST(MessageBox, UnattendedAndSimulatedBoxesAnswerWithTheDefaultButton) {
    vireo::test::TempPrefix prefix;
    setenv("VIREO_UNATTENDED", "1", 1);
    for (const Answers& a : kTable) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", a.type), a.defaultAnswer) << std::hex << a.type;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "caption: text\n");
    }
    unsetenv("VIREO_UNATTENDED");
    vireo::sim::SimDesktop desktop;
    for (const Answers& a : kTable)
        EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", a.type), a.defaultAnswer) << std::hex << a.type;
    EXPECT_EQ(desktop.messageBoxes.size(), std::size(kTable)) << "the simulated desktop showed each box";
}

} // namespace
