#include "comdef.h"

#include <utility>

namespace {
void Check(HRESULT hr)
{
    if (FAILED(hr))
        _com_issue_error(hr);
}
} // namespace

const _variant_t vtMissing(static_cast<long>(DISP_E_PARAMNOTFOUND), VT_ERROR);

_variant_t::_variant_t() noexcept { VariantInit(this); }

_variant_t::_variant_t(const VARIANT& source)
{
    VariantInit(this);
    Check(VariantCopy(this, &source));
}

_variant_t::_variant_t(const _variant_t& source) : _variant_t(static_cast<const VARIANT&>(source)) {}

_variant_t::_variant_t(_variant_t&& source) noexcept : VARIANT(source) { VariantInit(&source); }

_variant_t::_variant_t(VARIANT& source, bool copy)
{
    VariantInit(this);
    if (copy) {
        Check(VariantCopy(this, &source));
    } else {
        static_cast<VARIANT&>(*this) = source;
        VariantInit(&source);
    }
}

_variant_t::_variant_t(short value, VARTYPE type)
{
    VariantInit(this);
    if (type != VT_I2 && type != VT_BOOL)
        _com_issue_error(E_INVALIDARG);
    vt = type;
    if (type == VT_BOOL)
        boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    else
        iVal = value;
}

_variant_t::_variant_t(long value, VARTYPE type)
{
    VariantInit(this);
    if (type != VT_I4 && type != VT_ERROR && type != VT_BOOL)
        _com_issue_error(E_INVALIDARG);
    vt = type;
    if (type == VT_ERROR)
        scode = static_cast<SCODE>(value);
    else if (type == VT_BOOL)
        boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    else
        lVal = static_cast<LONG>(value);
}

_variant_t::_variant_t(int value) : _variant_t(static_cast<long>(value)) {}

_variant_t::_variant_t(float value)
{
    VariantInit(this);
    vt = VT_R4;
    fltVal = value;
}

_variant_t::_variant_t(double value, VARTYPE type)
{
    VariantInit(this);
    if (type != VT_R8 && type != VT_DATE)
        _com_issue_error(E_INVALIDARG);
    vt = type;
    dblVal = value;
}

_variant_t::_variant_t(const _bstr_t& value)
{
    VariantInit(this);
    bstrVal = value.copy();
    vt = VT_BSTR;
}

_variant_t::_variant_t(const char* value) : _variant_t(_bstr_t(value)) {}
_variant_t::_variant_t(const WCHAR* value) : _variant_t(_bstr_t(value)) {}

_variant_t::_variant_t(IDispatch* value, bool addRef)
{
    VariantInit(this);
    vt = VT_DISPATCH;
    pdispVal = value;
    if (value && addRef)
        value->AddRef();
}

_variant_t::_variant_t(IUnknown* value, bool addRef)
{
    VariantInit(this);
    vt = VT_UNKNOWN;
    punkVal = value;
    if (value && addRef)
        value->AddRef();
}

_variant_t::_variant_t(bool value)
{
    VariantInit(this);
    vt = VT_BOOL;
    boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

_variant_t::~_variant_t() { VariantClear(this); }

_variant_t& _variant_t::operator=(const _variant_t& source)
{
    Check(VariantCopy(this, &source));
    return *this;
}

_variant_t& _variant_t::operator=(_variant_t&& source) noexcept
{
    if (this != &source) {
        VariantClear(this);
        static_cast<VARIANT&>(*this) = source;
        VariantInit(&source);
    }
    return *this;
}

_variant_t& _variant_t::operator=(const VARIANT& source)
{
    Check(VariantCopy(this, &source));
    return *this;
}

namespace {
// The held value when the type already matches, else a coerced temporary.
template <class T>
T Extract(const _variant_t& self, VARTYPE type, T VARIANT::*member)
{
    if (self.vt == type)
        return self.*member;
    _variant_t converted;
    converted.ChangeType(type, &self);
    return converted.*member;
}
} // namespace

_variant_t::operator short() const { return Extract(*this, VT_I2, &VARIANT::iVal); }
_variant_t::operator long() const { return Extract(*this, VT_I4, &VARIANT::lVal); }
_variant_t::operator double() const { return Extract(*this, VT_R8, &VARIANT::dblVal); }
_variant_t::operator _bstr_t() const { return _bstr_t(*this); }

void _variant_t::Clear() { Check(VariantClear(this)); }

void _variant_t::ChangeType(VARTYPE type, const _variant_t* source)
{
    Check(VariantChangeType(this, source ? source : this, 0, type));
}

VARIANT _variant_t::Detach()
{
    VARIANT out = *this;
    VariantInit(this);
    return out;
}
