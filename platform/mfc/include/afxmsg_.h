// Stand-in for afxmsg_.h: message maps. A class that handles messages
// declares DECLARE_MESSAGE_MAP() and lists its handlers between
// BEGIN_MESSAGE_MAP(Class, Base) and END_MESSAGE_MAP(); CWnd::OnWndMsg walks
// the maps from the most derived class to CCmdTarget and calls the first
// entry that matches the message, notification code and control id.
#pragma once
#include <windows.h>

#include <cstddef>

class CCmdTarget;
typedef void (CCmdTarget::*AFX_PMSG)();
typedef void (CCmdTarget::*AFX_PMSG_NOTIFY)(NMHDR*, LRESULT*);

// A handler of either signature; the entry's signature tag says which
// member is the one set, so no handler is ever called through a cast type.
union AFX_PMSG_ANY {
    constexpr AFX_PMSG_ANY(std::nullptr_t) : command(nullptr) {}
    constexpr AFX_PMSG_ANY(AFX_PMSG handler) : command(handler) {}
    constexpr AFX_PMSG_ANY(AFX_PMSG_NOTIFY handler) : notify(handler) {}
    AFX_PMSG command;
    AFX_PMSG_NOTIFY notify;
};

// The handler signatures the maps know.
enum AfxSig : UINT_PTR {
    AfxSig_end = 0,
    AfxSigCmd_v,    // void handler()
    AfxSigNotify_v, // void handler(NMHDR*, LRESULT*)
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;   // WM_COMMAND or WM_NOTIFY
    UINT nCode;      // notification code (BN_CLICKED, NM_RCLICK, ...)
    UINT nID;        // control or command id
    UINT nLastID;    // last id of a range
    UINT_PTR nSig;   // AfxSig
    AFX_PMSG_ANY pfn; // the handler, read by its signature
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define CN_COMMAND 0
// Notifications reflected to the control that sent them arrive as
// WM_REFLECT_BASE + the message.
#define WM_REFLECT_BASE 0xBC00

#define DECLARE_MESSAGE_MAP()                                                                                          \
protected:                                                                                                             \
    static const AFX_MSGMAP* GetThisMessageMap();                                                                      \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                                         \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }                                  \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                                    \
    {                                                                                                                  \
        typedef theClass ThisClass;                                                                                    \
        typedef baseClass TheBaseClass;                                                                                \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                                              \
    {0, 0, 0, 0, AfxSig_end, nullptr}                                                                                  \
    }                                                                                                                  \
    ;                                                                                                                  \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};                      \
    return &messageMap;                                                                                                \
    }

#define ON_COMMAND(id, memberFxn)                                                                                      \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id), AfxSigCmd_v,                                \
     static_cast<AFX_PMSG>(static_cast<void (ThisClass::*)()>(&ThisClass::memberFxn))},

#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                                         \
    {WM_COMMAND, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(id), AfxSigCmd_v,            \
     static_cast<AFX_PMSG>(static_cast<void (ThisClass::*)()>(&ThisClass::memberFxn))},

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)

#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                                                          \
    {WM_NOTIFY, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(id), AfxSigNotify_v,          \
     static_cast<AFX_PMSG_NOTIFY>(static_cast<void (ThisClass::*)(NMHDR*, LRESULT*)>(&ThisClass::memberFxn))},

#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                                                                      \
    {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(wNotifyCode), 0, 0, AfxSigNotify_v,                                \
     static_cast<AFX_PMSG_NOTIFY>(static_cast<void (ThisClass::*)(NMHDR*, LRESULT*)>(&ThisClass::memberFxn))},

// A command notification (STN_CLICKED, BN_CLICKED) the parent reflects back
// to the control that sent it, so the control handles its own clicks.
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                                                                     \
    {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(wNotifyCode), 0, 0, AfxSigCmd_v,                                  \
     static_cast<AFX_PMSG>(static_cast<void (ThisClass::*)()>(&ThisClass::memberFxn))},
