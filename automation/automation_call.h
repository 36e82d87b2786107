// One late-bound automation call by member id: the arguments in declared
// order, the kind (method, property get, property put), and the result as a
// variant. A failed call raises _com_error with the HRESULT and the error
// information the server supplied; a call on an empty object raises E_POINTER
// before anything reaches the server.
#pragma once
#include <comdef.h>

#include <initializer_list>

_variant_t InvokeAutomation(IDispatch* object, DISPID member, WORD kind,
                            std::initializer_list<const VARIANT*> args = {});

// The optional argument left out: one process-wide VT_ERROR variant holding
// DISP_E_PARAMNOTFOUND.
inline const VARIANT* Missing() { return &vtMissing; }
