// VariantChangeType: Windows' coercion rules for the types the module and the
// spreadsheet stand-in exchange (see oleauto.h for what is left out).
#include "codepage.h"
#include "oleauto.h"

#include <charconv>
#include <cfloat>
#include <cmath>
#include <string>

namespace {

bool IsNumeric(VARTYPE vt) { return vt == VT_I2 || vt == VT_I4 || vt == VT_R4 || vt == VT_R8 || vt == VT_BOOL; }

bool IsKnown(VARTYPE vt)
{
    return vt == VT_EMPTY || vt == VT_NULL || IsNumeric(vt) || vt == VT_BSTR || vt == VT_DISPATCH || vt == VT_ERROR ||
           vt == VT_UNKNOWN;
}

double NumberOf(const VARIANT& v)
{
    switch (v.vt) {
    case VT_I2:
        return v.iVal;
    case VT_I4:
        return v.lVal;
    case VT_R4:
        return v.fltVal;
    case VT_R8:
        return v.dblVal;
    case VT_BOOL:
        return v.boolVal ? -1.0 : 0.0;
    default:
        return 0.0;
    }
}

// Automation rounds to the nearest integer, halves to even ("banker's rounding").
bool RoundToInteger(double value, double low, double high, LONG& out)
{
    if (std::isnan(value))
        return false;
    double rounded = std::nearbyint(value); // default rounding mode is to-nearest-even
    if (rounded < low || rounded > high)
        return false;
    out = static_cast<LONG>(rounded);
    return true;
}

std::u16string Widen(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

std::u16string FormatDouble(double value, int digits)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    std::string text(buffer, result.ptr);
    std::u16string out;
    for (char c : text) {
        if (c == '.')
            out.push_back(GetUserDecimalSeparator());
        else if (c == 'e')
            out.push_back(u'E');
        else
            out.push_back(static_cast<char16_t>(c));
    }
    return out;
}

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xA0; }

// Text to number in the user's locale: surrounding blanks, a leading sign,
// thousands separators in the integer part, the decimal separator and an
// exponent. Returns DISP_E_TYPEMISMATCH for anything else.
HRESULT ParseNumber(const WCHAR* text, UINT length, double& out)
{
    char16_t decimal = GetUserDecimalSeparator();
    char16_t thousands = GetUserThousandSeparator();
    UINT i = 0, end = length;
    while (i < end && IsSpace(text[i]))
        ++i;
    while (end > i && IsSpace(text[end - 1]))
        --end;
    std::string ascii;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            ascii.push_back('-');
        ++i;
    }
    bool digits = false, seenDecimal = false, seenExponent = false;
    for (; i < end; ++i) {
        char16_t c = text[i];
        if (c >= u'0' && c <= u'9') {
            ascii.push_back(static_cast<char>(c));
            digits = true;
        } else if (c == decimal && !seenDecimal && !seenExponent) {
            ascii.push_back('.');
            seenDecimal = true;
        } else if (c == thousands && !seenDecimal && !seenExponent && digits) {
            continue;
        } else if ((c == u'e' || c == u'E') && digits && !seenExponent) {
            ascii.push_back('e');
            seenExponent = true;
            if (i + 1 < end && (text[i + 1] == u'+' || text[i + 1] == u'-'))
                ascii.push_back(static_cast<char>(text[++i]));
            if (i + 1 >= end)
                return DISP_E_TYPEMISMATCH;
        } else {
            return DISP_E_TYPEMISMATCH;
        }
    }
    if (!digits)
        return DISP_E_TYPEMISMATCH;
    auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), out);
    if (result.ec == std::errc::result_out_of_range)
        return DISP_E_OVERFLOW;
    if (result.ec != std::errc() || result.ptr != ascii.data() + ascii.size())
        return DISP_E_TYPEMISMATCH;
    return S_OK;
}

bool EqualsIgnoreCase(const WCHAR* text, UINT length, const char* word)
{
    UINT i = 0;
    for (; word[i]; ++i) {
        if (i >= length)
            return false;
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != static_cast<char16_t>(word[i] >= 'A' && word[i] <= 'Z' ? word[i] - 'A' + 'a' : word[i]))
            return false;
    }
    return i == length;
}

HRESULT NumberFromText(const VARIANT& source, VARTYPE type, double& out)
{
    const WCHAR* text = source.bstrVal ? source.bstrVal : u"";
    UINT length = SysStringLen(source.bstrVal);
    if (type == VT_BOOL) {
        if (EqualsIgnoreCase(text, length, "true")) {
            out = -1;
            return S_OK;
        }
        if (EqualsIgnoreCase(text, length, "false")) {
            out = 0;
            return S_OK;
        }
    }
    return ParseNumber(text, length, out);
}

HRESULT StoreNumber(double value, VARTYPE type, VARIANT& out)
{
    LONG whole = 0;
    switch (type) {
    case VT_I2:
        if (!RoundToInteger(value, -32768.0, 32767.0, whole))
            return DISP_E_OVERFLOW;
        out.iVal = static_cast<SHORT>(whole);
        break;
    case VT_I4:
        if (!RoundToInteger(value, -2147483648.0, 2147483647.0, whole))
            return DISP_E_OVERFLOW;
        out.lVal = whole;
        break;
    case VT_R4:
        if (std::isfinite(value) && std::fabs(value) > FLT_MAX)
            return DISP_E_OVERFLOW;
        out.fltVal = static_cast<float>(value);
        break;
    case VT_R8:
        out.dblVal = value;
        break;
    case VT_BOOL:
        out.boolVal = value != 0.0 ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    default:
        return DISP_E_TYPEMISMATCH;
    }
    out.vt = type;
    return S_OK;
}

HRESULT TextFromValue(const VARIANT& source, USHORT flags, VARIANT& out)
{
    std::u16string text;
    switch (source.vt) {
    case VT_EMPTY:
        break;
    case VT_I2:
        text = Widen(std::to_string(source.iVal));
        break;
    case VT_I4:
        text = Widen(std::to_string(source.lVal));
        break;
    case VT_R4:
        text = FormatDouble(source.fltVal, 7);
        break;
    case VT_R8:
        text = FormatDouble(source.dblVal, 15);
        break;
    case VT_BOOL:
        // Without VARIANT_ALPHABOOL a boolean reads as its number.
        if (flags & VARIANT_ALPHABOOL)
            text = source.boolVal ? u"True" : u"False";
        else
            text = source.boolVal ? u"-1" : u"0";
        break;
    default:
        return DISP_E_TYPEMISMATCH;
    }
    out.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!out.bstrVal)
        return E_OUTOFMEMORY;
    out.vt = VT_BSTR;
    return S_OK;
}

HRESULT ObjectFromValue(const VARIANT& source, VARTYPE type, VARIANT& out)
{
    if (source.vt == VT_EMPTY) {
        out.vt = type;
        out.punkVal = nullptr;
        return S_OK;
    }
    if (source.vt != VT_DISPATCH && source.vt != VT_UNKNOWN)
        return DISP_E_TYPEMISMATCH;
    if (!source.punkVal) {
        out.vt = type;
        out.punkVal = nullptr;
        return S_OK;
    }
    void* object = nullptr;
    HRESULT hr = source.punkVal->QueryInterface(type == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &object);
    if (FAILED(hr))
        return hr;
    out.vt = type;
    if (type == VT_DISPATCH)
        out.pdispVal = static_cast<IDispatch*>(object);
    else
        out.punkVal = static_cast<IUnknown*>(object);
    return S_OK;
}

// An object coerces to a value through its default member (DISPID_VALUE).
HRESULT FetchValue(const VARIANT& source, USHORT flags, VARIANT& value)
{
    if (source.vt != VT_DISPATCH || !source.pdispVal || (flags & VARIANT_NOVALUEPROP))
        return DISP_E_TYPEMISMATCH;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    HRESULT hr = source.pdispVal->Invoke(DISPID_VALUE, GUID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                         &value, nullptr, nullptr);
    if (FAILED(hr)) {
        VariantClear(&value);
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

HRESULT Coerce(const VARIANT& source, USHORT flags, VARTYPE type, VARIANT& out)
{
    if (source.vt == type)
        return VariantCopy(&out, &source);
    if (type == VT_DISPATCH || type == VT_UNKNOWN)
        return ObjectFromValue(source, type, out);
    if (source.vt == VT_DISPATCH) {
        VARIANT value;
        VariantInit(&value);
        HRESULT hr = FetchValue(source, flags, value);
        if (SUCCEEDED(hr))
            hr = value.vt == VT_DISPATCH ? DISP_E_TYPEMISMATCH : Coerce(value, flags, type, out);
        VariantClear(&value);
        return hr;
    }
    if (source.vt == VT_NULL || source.vt == VT_ERROR || source.vt == VT_UNKNOWN || type == VT_EMPTY ||
        type == VT_NULL || type == VT_ERROR)
        return DISP_E_TYPEMISMATCH;
    if (type == VT_BSTR)
        return TextFromValue(source, flags, out);
    double number = 0.0;
    if (source.vt == VT_BSTR) {
        HRESULT hr = NumberFromText(source, type, number);
        if (FAILED(hr))
            return hr;
    } else {
        number = NumberOf(source); // VT_EMPTY reads as 0
    }
    return StoreNumber(number, type, out);
}

} // namespace

HRESULT VariantChangeTypeEx(VARIANTARG* destination, const VARIANTARG* source, LCID, USHORT flags, VARTYPE type)
{
    if (!destination || !source)
        return E_INVALIDARG;
    if (!IsKnown(source->vt) || !IsKnown(type))
        return DISP_E_BADVARTYPE;
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = Coerce(*source, flags, type, result);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr; // the destination is left as it was
    }
    // Source and destination may be the same variant: clear only now.
    VariantClear(destination);
    *destination = result;
    return S_OK;
}

HRESULT VariantChangeType(VARIANTARG* destination, const VARIANTARG* source, USHORT flags, VARTYPE type)
{
    return VariantChangeTypeEx(destination, source, LOCALE_USER_DEFAULT, flags, type);
}
