// The host object page script sees as window.external, checked through its IDispatch:
// name resolution, the invocation rules in their order, identity and type information,
// and what its members do. The same checks run on our layer (scenario tests) and on the
// platform's own OLE Automation (the Windows tests).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/MainFrame.h"
#include "platform/com/com.h"

namespace vireo::test::host_object {

inline const IID kSomeInterface = {0x12345678, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}};

// An ASCII name as OLE hands it over.
inline std::basic_string<OLECHAR> Wide(const std::string& ascii) {
    return std::basic_string<OLECHAR>(ascii.begin(), ascii.end());
}

inline HRESULT Names(IDispatch* d, const std::vector<std::string>& names, LCID lcid, std::vector<DISPID>& ids,
                     REFIID riid = IID_NULL) {
    std::vector<std::basic_string<OLECHAR>> wide;
    for (const std::string& n : names)
        wide.push_back(Wide(n));
    std::vector<LPOLESTR> pointers;
    for (auto& n : wide)
        pointers.push_back(n.data());
    ids.assign(std::max<std::size_t>(names.size(), 1), static_cast<DISPID>(0xdeadbeef));
    return d->GetIDsOfNames(riid, pointers.data(), static_cast<UINT>(names.size()), lcid, ids.data());
}

inline void CheckNameResolution(IDispatch* d) {
    struct Case {
        std::vector<std::string> names;
        LCID lcid;
        HRESULT hr;
        std::vector<DISPID> ids;
    } cases[] = {
        {{"isNative"}, 0, S_OK, {1}},
        {{"ISFULLSCREEN"}, 0, S_OK, {2}},
        {{"requestFullScreen"}, 0x0409, S_OK, {3}},
        {{"exitFullscreen"}, 0, S_OK, {4}},
        {{"appexit"}, 0, S_OK, {5}},
        {{"appExit2"}, 0, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN}},
        {{""}, 0, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN}},
        {{"isNative", "arg"}, 0, DISP_E_UNKNOWNNAME, {1, DISPID_UNKNOWN}},
        {{"isNative", "arg"}, 0x0409, DISP_E_BADINDEX, {1, DISPID_UNKNOWN}},
        {{"nope", "arg"}, 0x0409, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN, DISPID_UNKNOWN}},
    };
    for (const Case& c : cases) {
        std::vector<DISPID> ids;
        EXPECT_EQ(Names(d, c.names, c.lcid, ids), c.hr) << c.names[0];
        EXPECT_EQ(ids, c.ids) << c.names[0];
    }
    std::vector<DISPID> ids;
    EXPECT_EQ(Names(d, {"isNative"}, 0, ids, kSomeInterface), DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(ids[0], static_cast<DISPID>(0xdeadbeef)) << "nothing filled in";
    EXPECT_EQ(Names(d, {}, 0, ids), E_INVALIDARG);
}

inline void CheckInvocationRules(IDispatch* d, CMainFrame* frame) {
    struct Case {
        const char* what;
        DISPID id;
        WORD flags;
        UINT args;
        std::vector<DISPID> named;
        bool params = true;
        bool result = true;
        const IID* riid = &IID_NULL;
        HRESULT hr = S_OK;
        VARTYPE vt = VT_EMPTY; // of the result afterwards
        VARIANT_BOOL value = 0;
        bool entered = false; // whether requestFullscreen ran
    } cases[] = {
        {"no parameters", 3, DISPATCH_METHOD, 0, {}, false, true, &IID_NULL, E_INVALIDARG, VT_BOOL},
        {"interface", 3, DISPATCH_METHOD, 0, {}, true, true, &kSomeInterface, DISP_E_UNKNOWNINTERFACE},
        {"named argument", 3, DISPATCH_METHOD, 0, {7}, true, true, &IID_NULL, DISP_E_NONAMEDARGS},
        {"two named",
         3,
         DISPATCH_PROPERTYPUT,
         1,
         {DISPID_PROPERTYPUT, 7},
         true,
         true,
         &IID_NULL,
         DISP_E_NONAMEDARGS},
        {"no default member",
         DISPID_VALUE,
         DISPATCH_METHOD,
         0,
         {},
         true,
         true,
         &IID_NULL,
         DISP_E_MEMBERNOTFOUND},
        {"past the map", 6, DISPATCH_METHOD, 0, {}, true, true, &IID_NULL, DISP_E_MEMBERNOTFOUND},
        {"unknown", DISPID_UNKNOWN, DISPATCH_METHOD, 0, {}, true, true, &IID_NULL, DISP_E_MEMBERNOTFOUND},
        {"put", 3, DISPATCH_PROPERTYPUT, 1, {DISPID_PROPERTYPUT}, true, true, &IID_NULL, DISP_E_TYPEMISMATCH},
        {"putref",
         3,
         DISPATCH_PROPERTYPUTREF,
         1,
         {DISPID_PROPERTYPUT},
         true,
         true,
         &IID_NULL,
         DISP_E_TYPEMISMATCH},
        {"get without result",
         3,
         DISPATCH_PROPERTYGET,
         0,
         {},
         true,
         false,
         &IID_NULL,
         DISP_E_PARAMNOTOPTIONAL},
        {"an argument", 3, DISPATCH_METHOD, 1, {}, true, true, &IID_NULL, DISP_E_BADPARAMCOUNT},
        {"method", 1, DISPATCH_METHOD, 0, {}, true, true, &IID_NULL, S_OK, VT_BOOL, VARIANT_TRUE},
        {"false answer", 2, DISPATCH_METHOD, 0, {}, true, true, &IID_NULL, S_OK, VT_BOOL, VARIANT_FALSE},
        {"property read runs it",
         3,
         DISPATCH_PROPERTYGET,
         0,
         {},
         true,
         true,
         &IID_NULL,
         S_OK,
         VT_BOOL,
         VARIANT_TRUE,
         true},
        {"both flags",
         3,
         DISPATCH_METHOD | DISPATCH_PROPERTYGET,
         0,
         {},
         true,
         true,
         &IID_NULL,
         S_OK,
         VT_BOOL,
         VARIANT_TRUE,
         true},
        {"method without result", 3, DISPATCH_METHOD, 0, {}, true, false, &IID_NULL, S_OK, VT_EMPTY, 0, true},
    };
    for (const Case& c : cases) {
        frame->LeaveFullScreen();
        std::vector<VARIANT> args(c.args);
        for (VARIANT& a : args) {
            VariantInit(&a);
            a.vt = VT_I4;
            a.lVal = 1;
        }
        std::vector<DISPID> named = c.named;
        DISPPARAMS params{args.data(), named.data(), c.args, static_cast<UINT>(named.size())};
        VARIANT result;
        result.vt = VT_I4; // a sentinel the call must reset
        result.lVal = 0x5eed;
        EXCEPINFO info{};
        info.scode = 0x1234;
        UINT argErr = 0xdeadbeef;
        HRESULT hr = d->Invoke(c.id, *c.riid, 0, c.flags, c.params ? &params : nullptr,
                               c.result ? &result : nullptr, &info, &argErr);
        EXPECT_EQ(hr, c.hr) << c.what;
        if (c.result) {
            EXPECT_EQ(result.vt, c.params ? c.vt : static_cast<VARTYPE>(VT_I4)) << c.what;
            if (c.vt == VT_BOOL && c.params) {
                EXPECT_EQ(result.boolVal, c.value) << c.what;
            }
        }
        EXPECT_EQ(frame->IsFullScreen() != FALSE, c.entered) << c.what;
        EXPECT_EQ(info.scode, 0x1234) << "no exception information is filled in";
        EXPECT_EQ(argErr, 0xdeadbeefu) << c.what;
    }
    frame->LeaveFullScreen();
}

inline void CheckIdentityAndTypeInformation(IDispatch* d) {
    void* unknown = nullptr;
    void* dispatch = nullptr;
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(d->QueryInterface(IID_IUnknown, &unknown), S_OK);
    EXPECT_EQ(d->QueryInterface(IID_IDispatch, &dispatch), S_OK);
    EXPECT_EQ(unknown, dispatch);
    EXPECT_EQ(unknown, static_cast<void*>(d));
    EXPECT_EQ(d->QueryInterface(kSomeInterface, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    static_cast<IUnknown*>(unknown)->Release();
    static_cast<IUnknown*>(dispatch)->Release();
    UINT count = 7;
    EXPECT_EQ(d->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    for (UINT index : {0u, 1u, 100u}) {
        ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
        EXPECT_EQ(d->GetTypeInfo(index, 0, &info), DISP_E_BADINDEX);
    }
    // Releases beyond what was handed out never take the view's own reference.
    for (int i = 0; i < 5; ++i)
        d->Release();
    d->AddRef();
}

// isFullscreen, requestFullscreen and exitFullscreen as page script sees them, then
// appExit, which answers before anything closes (the caller checks the close afterwards).
inline void CheckMembersAct(IDispatch* d) {
    auto call = [&](DISPID id) {
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        VARIANT r;
        VariantInit(&r);
        d->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, &r, nullptr, nullptr);
        return r.boolVal;
    };
    EXPECT_EQ(call(2), VARIANT_FALSE);
    EXPECT_EQ(call(4), VARIANT_TRUE) << "exitFullscreen in windowed mode answers true";
    EXPECT_EQ(call(3), VARIANT_TRUE);
    EXPECT_EQ(call(3), VARIANT_TRUE);
    EXPECT_EQ(call(2), VARIANT_TRUE);
    EXPECT_EQ(call(4), VARIANT_TRUE);
    EXPECT_EQ(call(2), VARIANT_FALSE);
    EXPECT_EQ(call(5), VARIANT_TRUE) << "appExit answers before anything closes";
    EXPECT_NE(AfxGetMainWnd(), nullptr);
}

} // namespace vireo::test::host_object
