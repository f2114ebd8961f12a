// Reading and writing an automation object's properties by name, through IDispatch:
// the name looked up with GetIDsOfNames, then Invoke with DISPATCH_PROPERTYGET or
// DISPATCH_PROPERTYPUT. A failure raises EComError with the object's HRESULT and its
// description when it gave one.
#pragma once

#include "toolkit/win32/WindowsApi.h"
#include <oaidl.h>

#include <cstdint>
#include <string_view>

#include "activex/com/ComPtr.h"

namespace Com {

// The value of property name, as the object gives it.
void GetProperty(IDispatch* object, std::wstring_view name, Variant& value);
void PutProperty(IDispatch* object, std::wstring_view name, const VARIANT& value);

// The property as a 32-bit integer (converted by the system's rules: booleans give -1
// and 0, an OLE_COLOR its bits).
std::int32_t GetIntegerProperty(IDispatch* object, std::wstring_view name);
void PutIntegerProperty(IDispatch* object, std::wstring_view name, std::int32_t value);
// An unsigned 32-bit value (an OLE_COLOR, whose system colours have the top bit set).
void PutUnsignedProperty(IDispatch* object, std::wstring_view name, std::uint32_t value);
// VARIANT_BOOL: True as -1, False as 0.
void PutBoolProperty(IDispatch* object, std::wstring_view name, bool value);

}  // namespace Com
