#include "excel_dispatch.h"
#include "excel.tlh"

#include "com_runtime.h"

namespace excelsim {

HRESULT DispatchObject::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == typedInterface_)
        return ComAnswer<IDispatch>(this, object);
    return E_NOINTERFACE;
}

HRESULT DispatchObject::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_INVALIDARG;
    *count = 0;
    return S_OK;
}

HRESULT DispatchObject::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* excepInfo, UINT*)
{
    // The server process is gone: the proxy can only report the disconnection.
    if (app_->HasQuit())
        return RPC_E_DISCONNECTED;
    app_->CountCall(member);
    if (ComRuntime* runtime = ComRuntime::Current()) {
        if (HRESULT hr = runtime->TakeDispatchFault(member, excepInfo); FAILED(hr))
            return hr;
    }
    if (result)
        VariantInit(result);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (!params)
        params = &none;
    MemberShape shape;
    if (!Describe(member, shape))
        return DISP_E_MEMBERNOTFOUND;
    Args args(params);
    MemberKind kind;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (!shape.put)
            return DISP_E_MEMBERNOTFOUND;
        if (!args.PutValue())
            return DISP_E_PARAMNOTFOUND;
        if (params->cNamedArgs != 1)
            return DISP_E_NONAMEDARGS;
        kind = MemberKind::Put;
    } else {
        // Property gets may come as method calls too, as script clients make them.
        if (shape.method && (flags & DISPATCH_METHOD))
            kind = MemberKind::Method;
        else if (shape.get && (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)))
            kind = MemberKind::Get;
        else
            return DISP_E_MEMBERNOTFOUND;
        if (params->cNamedArgs != 0)
            return DISP_E_NONAMEDARGS;
    }
    if (args.Count() > shape.maxArgs)
        return DISP_E_BADPARAMCOUNT;
    return Call(member, kind, args, result, excepInfo);
}

HRESULT ProgramError(EXCEPINFO* excepInfo, const std::u16string& description)
{
    return ReportDispatchFailure(excepInfo, kProgramErrorCode, kProgramSource, description);
}

void ReturnObject(VARIANT* result, IDispatch* object)
{
    if (!result) {
        if (object)
            object->Release();
        return;
    }
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
}

void ReturnLong(VARIANT* result, LONG value)
{
    if (result) {
        result->vt = VT_I4;
        result->lVal = value;
    }
}

void ReturnBool(VARIANT* result, bool value)
{
    if (result) {
        result->vt = VT_BOOL;
        result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
}

void ReturnText(VARIANT* result, const std::u16string& text)
{
    if (result) {
        result->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        result->vt = VT_BSTR;
    }
}

namespace {
template <class T>
HRESULT Coerce(const VARIANT* arg, VARTYPE type, T VARIANT::*member, T& out)
{
    if (!arg)
        return DISP_E_PARAMNOTOPTIONAL;
    VARIANT converted;
    VariantInit(&converted);
    HRESULT hr = VariantChangeType(&converted, arg, 0, type);
    if (SUCCEEDED(hr))
        out = converted.*member;
    VariantClear(&converted);
    return hr;
}
} // namespace

HRESULT ArgAsLong(const VARIANT* arg, LONG& out)
{
    // Row and column numbers come as 16- or 32-bit integers on nearly every
    // call: taken as they are, without a coerced copy.
    if (arg && arg->vt == VT_I2) {
        out = arg->iVal;
        return S_OK;
    }
    if (arg && arg->vt == VT_I4) {
        out = arg->lVal;
        return S_OK;
    }
    return Coerce(arg, VT_I4, &VARIANT::lVal, out);
}

HRESULT ArgAsBool(const VARIANT* arg, bool& out)
{
    VARIANT_BOOL value = VARIANT_FALSE;
    HRESULT hr = Coerce(arg, VT_BOOL, &VARIANT::boolVal, value);
    out = value != VARIANT_FALSE;
    return hr;
}

HRESULT ArgAsText(const VARIANT* arg, std::u16string& out)
{
    if (!arg)
        return DISP_E_PARAMNOTOPTIONAL;
    if (arg->vt == VT_BSTR) { // a text is read in place, not copied to a coerced one first
        out.assign(arg->bstrVal ? arg->bstrVal : u"", SysStringLen(arg->bstrVal));
        return S_OK;
    }
    VARIANT converted;
    VariantInit(&converted);
    HRESULT hr = VariantChangeType(&converted, arg, 0, VT_BSTR);
    if (SUCCEEDED(hr))
        out.assign(converted.bstrVal ? converted.bstrVal : u"", SysStringLen(converted.bstrVal));
    VariantClear(&converted);
    return hr;
}

HRESULT ItemIndex::Read(const VARIANT* index)
{
    if (!index)
        return DISP_E_PARAMNOTOPTIONAL;
    byName_ = index->vt == VT_BSTR;
    if (byName_ ? FAILED(ArgAsText(index, name_)) : FAILED(ArgAsLong(index, number_)))
        return DISP_E_TYPEMISMATCH;
    return S_OK;
}

bool ItemIndex::Matches(std::size_t position, const std::u16string& name) const
{
    return byName_ ? SameName(name, name_) : static_cast<LONG>(position + 1) == number_;
}

bool DescribeCollection(DISPID member, MemberShape& shape, UINT addArgs)
{
    switch (member) {
    case Excel::dispidCount:
        shape = {true, false, false, 0};
        return true;
    case Excel::dispidItem:
        shape = {true, false, false, 1};
        return true;
    case Excel::dispidAdd:
        shape = {false, false, true, addArgs};
        return true;
    default:
        return false;
    }
}

} // namespace excelsim
