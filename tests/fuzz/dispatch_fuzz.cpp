// Fuzzes an automation object's GetIDsOfNames and Invoke with arbitrary names, flags,
// DISPIDs and parameter blocks. The object has the host object's shape: five methods
// without parameters that answer a BOOL.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/afx/cmdtarget.h"

namespace {

class Target : public CCmdTarget {
public:
    Target() { EnableAutomation(); }
    BOOL One() { return ++calls % 2; }
    BOOL Two() { return FALSE; }
    BOOL Three() { return TRUE; }
    BOOL Four() { return TRUE; }
    BOOL Five() { return TRUE; }
    int calls = 0;
    DECLARE_DISPATCH_MAP()
};

BEGIN_DISPATCH_MAP(Target, CCmdTarget)
DISP_FUNCTION(Target, "isNative", One, VT_BOOL, VTS_NONE)
DISP_FUNCTION(Target, "isFullscreen", Two, VT_BOOL, VTS_NONE)
DISP_FUNCTION(Target, "requestFullscreen", Three, VT_BOOL, VTS_NONE)
DISP_FUNCTION(Target, "exitFullscreen", Four, VT_BOOL, VTS_NONE)
DISP_FUNCTION(Target, "appExit", Five, VT_BOOL, VTS_NONE)
END_DISPATCH_MAP()

struct Input {
    const std::uint8_t* p;
    std::size_t n;
    std::uint8_t Byte() { return n ? (--n, *p++) : 0; }
    std::uint32_t Word() {
        return Byte() | (Byte() << 8) | (Byte() << 16) | (static_cast<std::uint32_t>(Byte()) << 24);
    }
};

const IID kOther = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Target target;
    IDispatch* d = target.GetIDispatch(FALSE);
    Input in{data, size};

    // Name resolution with up to four names of arbitrary UTF-16 units.
    UINT cNames = in.Byte() % 5;
    std::vector<std::vector<OLECHAR>> names(cNames);
    std::vector<LPOLESTR> pointers;
    for (auto& name : names) {
        std::size_t length = in.Byte() % 24;
        for (std::size_t i = 0; i < length; ++i)
            name.push_back(static_cast<OLECHAR>(in.Byte() | (in.Byte() << 8)));
        name.push_back(0);
        pointers.push_back(name.data());
    }
    std::vector<DISPID> ids(cNames + 1);
    LCID lcid = in.Byte() % 2 ? in.Word() : 0;
    d->GetIDsOfNames(in.Byte() % 7 ? IID_NULL : kOther, pointers.data(), cNames, lcid, ids.data());

    // Invocation with arbitrary flags, member, arguments and named arguments.
    DISPID member = in.Byte() % 3 ? static_cast<DISPID>(in.Byte() % 9) - 1 : static_cast<DISPID>(in.Word());
    WORD flags = static_cast<WORD>(in.Byte() & 0x0F);
    UINT cArgs = in.Byte() % 4;
    UINT cNamed = in.Byte() % 3;
    std::vector<VARIANT> args(cArgs);
    for (VARIANT& a : args) {
        VariantInit(&a);
        a.vt = VT_I4;
        a.lVal = static_cast<LONG>(in.Word());
    }
    std::vector<DISPID> named(cNamed);
    for (DISPID& id : named)
        id = in.Byte() % 2 ? DISPID_PROPERTYPUT : static_cast<DISPID>(in.Word());
    DISPPARAMS params{args.data(), named.data(), cArgs, cNamed};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    UINT argErr = 0;
    std::uint8_t shape = in.Byte();
    d->Invoke(member, shape % 5 ? IID_NULL : kOther, lcid, flags, shape % 11 ? &params : nullptr,
              shape % 3 ? &result : nullptr, shape % 2 ? &info : nullptr, shape % 7 ? &argErr : nullptr);
    VariantClear(&result);
    return 0;
}
