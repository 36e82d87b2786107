// Stand-in for oleauto.h: BSTR allocation, variant handling and coercion,
// per-thread error information, and the active-object registration of the
// running object table.
//
// Simplifications: VariantChangeType knows the types the module and the
// spreadsheet stand-in exchange (VT_EMPTY, VT_NULL, VT_I2, VT_I4, VT_R4,
// VT_R8, VT_BSTR, VT_DISPATCH, VT_ERROR, VT_BOOL, VT_UNKNOWN); others give
// DISP_E_BADVARTYPE. Text to number and back uses the user locale's decimal
// and thousands separators (codepage.h) and ignores the LCID argument; no
// currency or date parsing. No VT_BYREF, no arrays.
#pragma once
#include "oaidl.h"

BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);

void VariantInit(VARIANTARG* variant);
HRESULT VariantClear(VARIANTARG* variant);
HRESULT VariantCopy(VARIANTARG* destination, const VARIANTARG* source);
HRESULT VariantChangeType(VARIANTARG* destination, const VARIANTARG* source, USHORT flags, VARTYPE type);
HRESULT VariantChangeTypeEx(VARIANTARG* destination, const VARIANTARG* source, LCID lcid, USHORT flags,
                            VARTYPE type);
#define VARIANT_NOVALUEPROP 0x01
#define VARIANT_ALPHABOOL 0x02

HRESULT SetErrorInfo(ULONG reserved, IErrorInfo* errorInfo);
HRESULT GetErrorInfo(ULONG reserved, IErrorInfo** errorInfo);
HRESULT CreateErrorInfo(ICreateErrorInfo** errorInfo);

HRESULT GetActiveObject(REFCLSID clsid, void* reserved, IUnknown** object);
