#pragma once
// Message maps: each class keeps a static const table of rows (message, notification code, id range,
// handler) chained to its base class's table. Rows are data, so a map can be read in a debugger and
// walked by tests; a message that no table names goes to the default procedure.
//
//   constexpr MessageEntry kVAppEntries[] = {
//       Cracked(WM_SIZE),                                  // to the virtual OnSize
//       OnMessage(0x5E00, Route<&VApp::OnStartup>),         // LRESULT OnStartup(WPARAM, LPARAM)
//       OnCommand(310, Route<&VApp::OnOptions>),            // void OnOptions()
//   };
//   const MessageMap VApp::kMessageMap{&CWnd::kMessageMap, kVAppEntries};

#include <windows.h>

#include <cstddef>
#include <type_traits>

class CCmdTarget;

// What a handler gets and gives back. For WM_COMMAND and WM_NOTIFY, id and code are already taken
// apart (a menu or accelerator command has code 0).
struct MessageArgs {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    UINT id = 0;
    UINT code = 0;
    LRESULT result = 0;
    bool handled = true;   // a handler returning bool may decline, and the search goes on
};

using MapHandler = void (*)(CCmdTarget& target, MessageArgs& args);

struct MessageEntry {
    UINT message;   // WM_..., WM_COMMAND, WM_NOTIFY, kCtlColor or Reflected(...)
    UINT code;      // notification code for commands and notifications; kAnyCode matches all
    UINT firstId;   // control or command id range for commands and notifications
    UINT lastId;
    MapHandler handler;
};

struct MessageMap {
    const MessageMap* base;
    const MessageEntry* entries;
    size_t count;
    constexpr explicit MessageMap(const MessageMap* baseMap) : base(baseMap), entries(nullptr), count(0) {}
    template <size_t N>
    constexpr MessageMap(const MessageMap* baseMap, const MessageEntry (&rows)[N])
        : base(baseMap), entries(rows), count(N) {}

    // The first row of this map or its bases that takes the message; null when none does.
    const MessageEntry* Find(UINT message, UINT code, UINT id) const;
};

// Sent while the program is idle so that windows enable, check or press their commands.
constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;
// All seven WM_CTLCOLOR... messages are looked up under this one number.
constexpr UINT kCtlColor = 0x0019;
constexpr UINT kAnyCode = 0xFFFFFFFFu;

// A control's own notification, reflected by its parent to the control's wrapper first.
constexpr UINT Reflected(UINT message) { return 0x10000u + message; }

// A command target: something with a message map that commands can be routed to.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    static const MessageMap kMessageMap;
    virtual const MessageMap* GetMessageMap() const { return &kMessageMap; }

    // Offers a command to this object's map. Windows override it to pass what their own map does not
    // take down a chain of other targets; a command nobody takes is dropped.
    virtual bool OnCmdMsg(UINT id, UINT code);

    // Runs the map row for a message, if any; true when a handler took it.
    bool DispatchMapped(MessageArgs& args);
};

// Route<&Class::Member>: the map handler that calls a member of the derived class. The member's
// signature says how the message is handed over:
//   LRESULT (WPARAM, LPARAM)          any message; the return value is the result
//   void ()                           a command or notification by id
//   void (UINT id)                    a command over an id range
//   bool ()                           a command that may decline (false: the search goes on)
//   void (NMHDR*, LRESULT* result)    a notification
//   HBRUSH (HDC, UINT ctlType)        a reflected control colour; null declines
template <typename F> struct MemberClass;
template <typename C, typename R, typename... A> struct MemberClass<R (C::*)(A...)> { using Type = C; };

template <auto Fn>
void Route(CCmdTarget& target, MessageArgs& a) {
    using F = decltype(Fn);
    using C = typename MemberClass<F>::Type;
    static_assert(std::is_base_of_v<CCmdTarget, C>, "handlers are members of command targets");
    C& self = static_cast<C&>(target);
    if constexpr (std::is_same_v<F, LRESULT (C::*)(WPARAM, LPARAM)>) {
        a.result = (self.*Fn)(a.wParam, a.lParam);
    } else if constexpr (std::is_same_v<F, void (C::*)()>) {
        (self.*Fn)();
    } else if constexpr (std::is_same_v<F, void (C::*)(UINT)>) {
        (self.*Fn)(a.id);
    } else if constexpr (std::is_same_v<F, bool (C::*)()>) {
        a.handled = (self.*Fn)();
    } else if constexpr (std::is_same_v<F, void (C::*)(NMHDR*, LRESULT*)>) {
        (self.*Fn)(reinterpret_cast<NMHDR*>(a.lParam), &a.result);
    } else if constexpr (std::is_same_v<F, HBRUSH (C::*)(HDC, UINT)>) {
        HBRUSH brush = (self.*Fn)(reinterpret_cast<HDC>(a.wParam), a.code);
        a.result = reinterpret_cast<LRESULT>(brush);
        a.handled = brush != nullptr;
    } else {
        static_assert(sizeof(F) == 0, "unsupported handler signature");
    }
}

// Row makers.
constexpr MessageEntry OnMessage(UINT message, MapHandler h) { return {message, 0, 0, 0, h}; }
constexpr MessageEntry OnCommand(UINT id, MapHandler h) { return {WM_COMMAND, 0, id, id, h}; }
constexpr MessageEntry OnCommandRange(UINT first, UINT last, MapHandler h) {
    return {WM_COMMAND, 0, first, last, h};
}
// A control notification (BN_CLICKED, CBN_SELCHANGE, ...) from one control or a range of them.
constexpr MessageEntry OnControl(UINT code, UINT id, MapHandler h) { return {WM_COMMAND, code, id, id, h}; }
constexpr MessageEntry OnControlRange(UINT code, UINT first, UINT last, MapHandler h) {
    return {WM_COMMAND, code, first, last, h};
}
constexpr MessageEntry OnNotify(UINT code, UINT id, MapHandler h) { return {WM_NOTIFY, code, id, id, h}; }
constexpr MessageEntry OnNotifyRange(UINT code, UINT first, UINT last, MapHandler h) {
    return {WM_NOTIFY, code, first, last, h};
}
// Reflected rows sit in the control's own map; the id is not checked.
constexpr MessageEntry OnReflectedControl(UINT code, MapHandler h) {
    return {Reflected(WM_COMMAND), code, 0, 0xFFFFFFFFu, h};
}
constexpr MessageEntry OnReflectedNotify(UINT code, MapHandler h) {
    return {Reflected(WM_NOTIFY), code, 0, 0xFFFFFFFFu, h};
}
constexpr MessageEntry OnReflectedCtlColor(MapHandler h) { return {Reflected(kCtlColor), 0, 0, 0, h}; }
