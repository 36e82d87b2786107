#include "oleauto.h"

void VariantInit(VARIANTARG* variant)
{
    variant->vt = VT_EMPTY;
    variant->wReserved1 = variant->wReserved2 = variant->wReserved3 = 0;
    variant->llVal = 0;
}

HRESULT VariantClear(VARIANTARG* variant)
{
    if (!variant)
        return E_INVALIDARG;
    switch (variant->vt) {
    case VT_BSTR:
        SysFreeString(variant->bstrVal);
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (variant->punkVal)
            variant->punkVal->Release();
        break;
    default:
        if (variant->vt & (VT_ARRAY | VT_BYREF))
            return DISP_E_BADVARTYPE;
        break;
    }
    VariantInit(variant);
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* destination, const VARIANTARG* source)
{
    if (!destination || !source)
        return E_INVALIDARG;
    if (destination == source)
        return S_OK;
    HRESULT hr = VariantClear(destination);
    if (FAILED(hr))
        return hr;
    VARIANT copy = *source;
    if (source->vt == VT_BSTR && source->bstrVal) {
        copy.bstrVal = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
        if (!copy.bstrVal)
            return E_OUTOFMEMORY;
    } else if ((source->vt == VT_DISPATCH || source->vt == VT_UNKNOWN) && source->punkVal) {
        source->punkVal->AddRef();
    } else if (source->vt & (VT_ARRAY | VT_BYREF)) {
        return DISP_E_BADVARTYPE;
    }
    *destination = copy;
    return S_OK;
}
