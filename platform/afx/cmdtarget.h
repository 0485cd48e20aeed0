// CCmdTarget: message and command maps. A map is a table of entries bound to member
// functions, chained to the base class's map; lookups walk from the most derived map
// to the root.
#pragma once

#include "platform/afx/dispatch.h"
#include "platform/afx/object.h"
#include "platform/win/window.h"

class CCmdTarget;

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // window message, or WM_COMMAND for commands
    UINT nCode;    // notification code for commands (0: a command)
    UINT nID;      // first command identifier
    UINT nLastID;  // last command identifier
    LRESULT (*pfn)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

constexpr int CN_COMMAND = 0;

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget();
    ~CCmdTarget() override;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Automation: after EnableAutomation the target offers an IDispatch over its
    // dispatch map. GetIDispatch(TRUE) adds a reference for the caller. The count starts
    // at one, held by the target itself, so releases by others never destroy it.
    void EnableAutomation();
    LPDISPATCH GetIDispatch(BOOL bAddRef);
    static const AFX_DISPMAP* GetThisDispatchMap();
    virtual const AFX_DISPMAP* GetDispatchMap() const;
    ULONG ExternalRefCount() const { return m_dwRef; }

    // Routes a command to this target's map. TRUE when a handler ran.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

private:
    class XDispatch;
    XDispatch* m_xDispatch = nullptr;
    ULONG m_dwRef = 1;
    friend class XDispatch;

protected:
    // The entry for `message` (and for commands `nID`), searching the whole chain.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT nCode, UINT nID) const;
};

#define DECLARE_MESSAGE_MAP()                                                                                \
public:                                                                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();                                                            \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                               \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                                      \
        return GetThisMessageMap();                                                                          \
    }                                                                                                        \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                                        \
        using ThisClass [[maybe_unused]] = theClass;                                                         \
        using TheBaseClass = baseClass;                                                                      \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                                    \
    { 0, 0, 0, 0, nullptr }                                                                                  \
    }                                                                                                        \
    ;                                                                                                        \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};            \
    return &messageMap;                                                                                      \
    }

#define ON_COMMAND(id, memberFxn)                                                                            \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id),                                   \
     [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                                                          \
         (static_cast<ThisClass*>(t)->*(&memberFxn))();                                                      \
         return 0;                                                                                           \
     }},

#define ON_MESSAGE(message, memberFxn)                                                                       \
    {static_cast<UINT>(message), 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                 \
         return (static_cast<ThisClass*>(t)->*(&memberFxn))(w, l);                                           \
     }},

#define ON_WM_CREATE()                                                                                       \
    {WM_CREATE, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT {                                    \
         return static_cast<ThisClass*>(t)->OnCreate(reinterpret_cast<LPCREATESTRUCT>(l));                   \
     }},

#define ON_WM_CLOSE()                                                                                        \
    {WM_CLOSE, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                                       \
         static_cast<ThisClass*>(t)->OnClose();                                                              \
         return 0;                                                                                           \
     }},

#define ON_WM_DESTROY()                                                                                      \
    {WM_DESTROY, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                                     \
         static_cast<ThisClass*>(t)->OnDestroy();                                                            \
         return 0;                                                                                           \
     }},

#define ON_WM_SIZE()                                                                                         \
    {WM_SIZE, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                                    \
         static_cast<ThisClass*>(t)->OnSize(static_cast<UINT>(w), LOWORD(l), HIWORD(l));                     \
         return 0;                                                                                           \
     }},

#define ON_WM_NCDESTROY()                                                                                    \
    {WM_NCDESTROY, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                                   \
         static_cast<ThisClass*>(t)->OnNcDestroy();                                                          \
         return 0;                                                                                           \
     }},
