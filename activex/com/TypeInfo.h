// Type information from the module's own type library (resource "TYPELIB" 1), and
// IDispatch served from it.
#pragma once

#include "toolkit/win32/WindowsApi.h"
#include <oaidl.h>

#include "activex/com/ComPtr.h"

namespace Com {

// The module's type library, loaded once (without registering it).
ComPtr<ITypeLib> ModuleTypeLib();
// Lets the cached library go (when the module is unloaded, not at process exit).
void ReleaseModuleTypeLib() noexcept;
// The type information of guid in it; raises EComError when it is missing.
ComPtr<ITypeInfo> ModuleTypeInfo(REFGUID guid);

// IDispatch of a dual interface: instance is the interface pointer the type information
// describes. Invoke reports a member's failure through EXCEPINFO (DISP_E_EXCEPTION) and
// refuses an riid other than IID_NULL (DISP_E_UNKNOWNINTERFACE).
HRESULT DispatchGetIDsOfNames(ITypeInfo* info, LPOLESTR* names, UINT count, DISPID* ids) noexcept;
HRESULT DispatchInvoke(ITypeInfo* info, void* instance, DISPID id, REFIID riid, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* excep, UINT* argError) noexcept;

}  // namespace Com
