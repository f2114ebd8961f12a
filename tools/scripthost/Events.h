// Connecting an object's events to a handler: the object's default source dispinterface is
// found through its class information, and a sink of our own is advised on the
// object's connection point for it.
#pragma once

#include "Com.h"

#include <functional>
#include <memory>

namespace scripthost {

// Receives one event: its name (from the source interface's type information), its
// arguments as the source passed them (last first), and where a return value goes (may be
// null).
using EventHandler = std::function<void(const std::wstring& name, DISPPARAMS& args, VARIANT* result)>;

class EventSink;

// One object's default events connected to a handler; destroying it unadvises the sink and
// stops all calls to the handler, also those the source makes later through a reference
// it kept.
class EventConnection {
public:
    // On failure returns the error and tells the reason in `why`.
    static HRESULT Open(IUnknown* object, EventHandler handler, std::unique_ptr<EventConnection>& out,
                        std::wstring& why);
    EventConnection(const EventConnection&) = delete;
    EventConnection& operator=(const EventConnection&) = delete;
    ~EventConnection();
    // Whether this connects `object` (compared by COM identity).
    bool IsOf(IUnknown* object) const;

private:
    EventConnection() = default;
    ComPtr<IUnknown> identity_;
    ComPtr<IConnectionPoint> point_;
    ComPtr<EventSink> sink_;
    DWORD cookie_ = 0;
    bool advised_ = false;
};

}  // namespace scripthost
