// The property page as a COM object (IPropertyPage2): the frame a container opens gives
// it a site, the objects to edit and a window to live in; the page shows the first
// object's values on TLumawipeProperties and writes them back on Apply.
#pragma once

#include "toolkit/win32/WindowsApi.h"

#include <unknwn.h>

extern const CLSID CLSID_LumawipeProperties;

// The page's creator for the library's class table: a new page, answering with iid.
HRESULT CreateLumawipeProperties(REFIID iid, void** out) noexcept;
