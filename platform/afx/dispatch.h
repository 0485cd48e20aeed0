// Automation: dispatch maps that bind external names to member functions, and the
// IDispatch every automation-enabled command target offers through them.
#pragma once

#include "platform/com/com.h"

class CCmdTarget;

// The parameter list of a member, as a string of VTS_ codes; the members of this
// system take none.
#define VTS_NONE ""

struct AFX_DISPMAP_ENTRY {
    LPCSTR lpszName;   // the external name
    DISPID lDispID;    // DISPID_UNKNOWN: the entry's 1-based position in its map
    LPCSTR lpszParams; // VTS_ codes of the parameters
    VARTYPE vt;        // the result type
    BOOL (*pfn)(CCmdTarget* target);
    void (*pfnSet)(CCmdTarget* target); // a property's set function; null for methods
};

struct AFX_DISPMAP {
    const AFX_DISPMAP* (*pfnGetBaseMap)();
    const AFX_DISPMAP_ENTRY* lpEntries;
};

#define DECLARE_DISPATCH_MAP()                                                                               \
public:                                                                                                      \
    static const AFX_DISPMAP* GetThisDispatchMap();                                                          \
    const AFX_DISPMAP* GetDispatchMap() const override;

#define BEGIN_DISPATCH_MAP(theClass, baseClass)                                                              \
    const AFX_DISPMAP* theClass::GetDispatchMap() const {                                                    \
        return GetThisDispatchMap();                                                                         \
    }                                                                                                        \
    const AFX_DISPMAP* theClass::GetThisDispatchMap() {                                                      \
        using ThisDispatchClass [[maybe_unused]] = theClass;                                                 \
        using TheDispatchBaseClass = baseClass;                                                              \
        static const AFX_DISPMAP_ENTRY _dispatchEntries[] = {

#define DISP_FUNCTION(theClass, szExternalName, pfnMember, vtRetVal, vtsParams)                              \
    {szExternalName,                                                                                         \
     DISPID_UNKNOWN,                                                                                         \
     vtsParams,                                                                                              \
     vtRetVal,                                                                                               \
     [](CCmdTarget* t) -> BOOL { return static_cast<theClass*>(t)->pfnMember(); },                           \
     nullptr},

#define END_DISPATCH_MAP()                                                                                   \
    { nullptr, 0, nullptr, VT_EMPTY, nullptr, nullptr }                                                      \
    }                                                                                                        \
    ;                                                                                                        \
    static const AFX_DISPMAP dispatchMap = {&TheDispatchBaseClass::GetThisDispatchMap,                       \
                                            &_dispatchEntries[0]};                                           \
    return &dispatchMap;                                                                                     \
    }
