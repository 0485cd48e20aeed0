// The parts of a COM object that every automation object of the layer answers the same
// way: its reference count and the type information it does not have.
#pragma once

#include <atomic>

#include "platform/com/com.h"

namespace vireo::com {

// An object implementing `Interface` (IDispatch or one derived from it), deleted when its
// last reference goes. It starts with one reference, the creator's.
template <typename Self, typename Interface> class DispatchObject : public Interface {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG n = --m_refs;
        if (n == 0)
            delete static_cast<Self*>(this);
        return n;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override {
        if (!pctinfo)
            return E_POINTER;
        *pctinfo = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
        if (ppTInfo)
            *ppTInfo = nullptr;
        return DISP_E_BADINDEX;
    }

protected:
    DispatchObject() = default;
    virtual ~DispatchObject() = default;

    // Answers for IUnknown, IDispatch and `own`, all with the one pointer.
    HRESULT QueryFor(REFIID riid, const IID& own, void** ppvObject) {
        if (!ppvObject)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == own) {
            *ppvObject = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }

private:
    std::atomic<ULONG> m_refs{1};
};

// An interface object with no members of its own reachable by name.
template <typename Self, typename Interface> class MemberlessObject : public DispatchObject<Self, Interface> {
public:
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
};

} // namespace vireo::com
