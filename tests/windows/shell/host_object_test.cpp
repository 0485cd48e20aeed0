// The host object page script sees as window.external, through the platform's own OLE
// Automation (VARIANTs, BSTRs and DISPPARAMS as oleaut32 makes them).
#include "tests/common/host_object_checks.h"
#include "tests/windows/shell/shell.h"

namespace vireo::test {
namespace {

namespace checks = host_object;

class HostObject : public Shell {
protected:
    // Runs the program and calls `body` with the view's IDispatch while its window is up.
    void WithHost(std::function<void(IDispatch*, CMainFrame*)> body) {
        bool ran = false;
        ASSERT_EQ(Run({[&] {
                      ran = true;
                      IDispatch* external = nullptr;
                      ASSERT_EQ(View()->OnGetExternal(&external), S_OK);
                      body(external, Frame());
                      external->Release();
                      EXPECT_EQ(View()->ExternalRefCount(), 1u) << "references handed out are all returned";
                  }}),
                  0);
        ASSERT_TRUE(ran);
    }
};

TEST_F(HostObject, NameResolution) {
    WithHost([&](IDispatch* d, CMainFrame*) { checks::CheckNameResolution(d); });
}

TEST_F(HostObject, InvocationRulesInTheirOrder) {
    WithHost([&](IDispatch* d, CMainFrame* frame) { checks::CheckInvocationRules(d, frame); });
}

TEST_F(HostObject, IdentityAndTypeInformation) {
    WithHost([&](IDispatch* d, CMainFrame*) { checks::CheckIdentityAndTypeInformation(d); });
}

TEST_F(HostObject, MembersActAndAppExitClosesThroughTheLoop) {
    HWND frame = nullptr;
    WithHost([&](IDispatch* d, CMainFrame* f) {
        frame = f->m_hWnd;
        checks::CheckMembersAct(d);
    });
    EXPECT_FALSE(::IsWindow(frame));
    EXPECT_FALSE(ClosedByTest()) << "appExit's close request was carried out by the loop";
}

} // namespace
} // namespace vireo::test
