// The host object page script sees as window.external, on our layer: the view's
// IDispatch, its name resolution and its invocation rules, checked in their order.
#include "host/VireoWebBrowserView.h"
#include "tests/common/host_object_checks.h"
#include "tests/scenario/scenario.h"

using namespace vireo::test;
namespace checks = vireo::test::host_object;

namespace {

class HostObject : public Startup {
protected:
    // Runs the program and calls `body` with the view's IDispatch while its window is up.
    void WithHost(std::function<void(IDispatch*, CMainFrame*)> body) {
        InstallBook();
        bool ran = false;
        whileShown = [&] {
            if (ran)
                return;
            ran = true;
            auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
            auto* view = dynamic_cast<CVireoWebBrowserView*>(frame->GetActiveView());
            IDispatch* external = nullptr;
            ASSERT_EQ(view->OnGetExternal(&external), S_OK);
            body(external, frame);
            external->Release();
            EXPECT_EQ(view->ExternalRefCount(), 1u) << "references handed out are all returned";
        };
        ASSERT_EQ(Run(), 0);
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

TEST_F(HostObject, MembersAct) {
    WithHost([&](IDispatch* d, CMainFrame*) { checks::CheckMembersAct(d); });
    EXPECT_TRUE(desktop.windows.empty()) << "the close request was carried out by the loop";
}

} // namespace
