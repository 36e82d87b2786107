#include "automation/value_conversion.h"

#include "automation/ansi_text.h"

namespace {

// The value of `value` as `type`: taken as it is, or from a coerced copy.
template <class T>
T Convert(const VARIANT& value, VARTYPE type, T VARIANT::*member)
{
    if (value.vt == type)
        return value.*member;
    _variant_t converted;
    const HRESULT hr = VariantChangeType(&converted, &value, 0, type);
    if (FAILED(hr))
        _com_issue_error(hr);
    return converted.*member;
}

} // namespace

long VariantToLong(const VARIANT& value) { return Convert(value, VT_I4, &VARIANT::lVal); }

std::string VariantToText(const VARIANT& value)
{
    if (value.vt == VT_BSTR)
        return BstrToAnsi(value.bstrVal, SysStringLen(value.bstrVal));
    _variant_t text;
    HRESULT hr = VariantChangeType(&text, &value, 0, VT_BSTR);
    if (FAILED(hr))
        _com_issue_error(hr);
    return BstrToAnsi(text.bstrVal, SysStringLen(text.bstrVal));
}

IDispatchPtr VariantToObject(const VARIANT& value)
{
    if (value.vt == VT_DISPATCH)
        return IDispatchPtr(value.pdispVal);
    IUnknown* unknown = nullptr;
    _variant_t object;
    if (value.vt == VT_UNKNOWN) {
        unknown = value.punkVal;
    } else {
        HRESULT hr = VariantChangeType(&object, &value, 0, VT_DISPATCH);
        if (SUCCEEDED(hr))
            return IDispatchPtr(object.pdispVal);
        // No automation interface: take the base object and ask it below.
        if (hr != E_NOINTERFACE)
            _com_issue_error(hr);
        hr = VariantChangeType(&object, &value, 0, VT_UNKNOWN);
        if (FAILED(hr))
            _com_issue_error(hr);
        unknown = object.punkVal;
    }
    if (!unknown)
        return IDispatchPtr();
    IDispatch* dispatch = nullptr;
    HRESULT hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    if (FAILED(hr))
        _com_issue_error(hr);
    return IDispatchPtr(dispatch, false);
}

IDispatchPtr VariantToObject(_variant_t&& value)
{
    // Most calls return an object: its reference is handed on rather than
    // taken again and then dropped with the result.
    if (value.vt == VT_DISPATCH) {
        VARIANT taken = value.Detach();
        return IDispatchPtr(taken.pdispVal, false);
    }
    return VariantToObject(static_cast<const VARIANT&>(value));
}
