// The IDispatch of an automation-enabled command target: names resolve against its
// dispatch map, calls run its members, and the platform's rules decide every refusal,
// in the order the framework checks them.
#include <vector>

#include "platform/afx/cmdtarget.h"
#include "platform/win/codepage.h"

namespace {

// The entries a DISPID can name: the most derived map's, then its bases'.
struct FoundEntry {
    const AFX_DISPMAP_ENTRY* entry;
    DISPID dispid;
};

std::vector<FoundEntry> Entries(const AFX_DISPMAP* map) {
    std::vector<FoundEntry> found;
    for (WORD depth = 0; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr, ++depth) {
        LONG position = 1;
        for (const AFX_DISPMAP_ENTRY* e = map->lpEntries; e->lpszName; ++e, ++position) {
            DISPID id =
                e->lDispID != DISPID_UNKNOWN ? e->lDispID : static_cast<DISPID>(position | (depth << 16));
            found.push_back({e, id});
        }
    }
    return found;
}

} // namespace

class CCmdTarget::XDispatch final : public IDispatch {
public:
    explicit XDispatch(CCmdTarget* owner) : m_owner(owner) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        if (!ppvObject)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *ppvObject = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_owner->m_dwRef; }

    ULONG STDMETHODCALLTYPE Release() override {
        // The target's own reference is never given up: it lives as long as its window.
        if (m_owner->m_dwRef > 1)
            --m_owner->m_dwRef;
        return m_owner->m_dwRef;
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

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                            DISPID* rgDispId) override {
        if (riid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        if (cNames == 0)
            return E_INVALIDARG;
        if (!rgszNames || !rgDispId || !rgszNames[0])
            return E_POINTER;
        // With a locale, type information is asked for first; there is none.
        HRESULT noTypeInfo = lcid != 0 ? DISP_E_BADINDEX : S_OK;

        char name[256];
        int n =
            ::WideCharToMultiByte(CP_THREAD_ACP, 0, rgszNames[0], -1, name, sizeof name, nullptr, nullptr);
        rgDispId[0] = DISPID_UNKNOWN;
        if (n > 0) {
            for (const FoundEntry& f : Entries(m_owner->GetDispatchMap())) {
                if (::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name, -1, f.entry->lpszName, -1) ==
                    CSTR_EQUAL) {
                    rgDispId[0] = f.dispid;
                    break;
                }
            }
        }
        for (UINT i = 1; i < cNames; ++i)
            rgDispId[i] = DISPID_UNKNOWN;
        if (rgDispId[0] == DISPID_UNKNOWN)
            return DISP_E_UNKNOWNNAME;
        if (cNames == 1)
            return S_OK;
        return lcid == 0 ? DISP_E_UNKNOWNNAME : noTypeInfo;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO*,
                                     UINT*) override {
        if (!pDispParams)
            return E_INVALIDARG;
        if (pVarResult)
            VariantInit(pVarResult);
        if (riid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        bool onePropertyPut = pDispParams->cNamedArgs == 1 && pDispParams->rgdispidNamedArgs &&
                              pDispParams->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
        if (pDispParams->cNamedArgs != 0 && !onePropertyPut)
            return DISP_E_NONAMEDARGS;
        const AFX_DISPMAP_ENTRY* entry = nullptr;
        for (const FoundEntry& f : Entries(m_owner->GetDispatchMap()))
            if (f.dispid == dispIdMember)
                entry = f.entry;
        if (!entry)
            return DISP_E_MEMBERNOTFOUND;
        if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
            return DISP_E_TYPEMISMATCH;
        if ((wFlags & DISPATCH_PROPERTYGET) && !(wFlags & DISPATCH_METHOD) && !pVarResult)
            return DISP_E_PARAMNOTOPTIONAL;
        if (pDispParams->cArgs != 0)
            return DISP_E_BADPARAMCOUNT;
        BOOL result = entry->pfn(m_owner);
        if (pVarResult) {
            pVarResult->vt = VT_BOOL;
            pVarResult->boolVal = result ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    }

private:
    CCmdTarget* m_owner;
};

CCmdTarget::CCmdTarget() = default;

CCmdTarget::~CCmdTarget() {
    delete m_xDispatch;
}

void CCmdTarget::EnableAutomation() {
    if (!m_xDispatch)
        m_xDispatch = new XDispatch(this);
}

LPDISPATCH CCmdTarget::GetIDispatch(BOOL bAddRef) {
    if (!m_xDispatch)
        return nullptr;
    if (bAddRef)
        m_xDispatch->AddRef();
    return m_xDispatch;
}

const AFX_DISPMAP* CCmdTarget::GetThisDispatchMap() {
    static const AFX_DISPMAP_ENTRY entries[] = {{nullptr, 0, nullptr, VT_EMPTY, nullptr, nullptr}};
    static const AFX_DISPMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_DISPMAP* CCmdTarget::GetDispatchMap() const {
    return GetThisDispatchMap();
}
