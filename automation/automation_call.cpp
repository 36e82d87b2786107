#include "automation/automation_call.h"

#include <vector>

namespace {

// The server's exception as error information, and the HRESULT it stands for.
HRESULT TakeException(EXCEPINFO& info, IErrorInfo*& errorInfo)
{
    if (info.pfnDeferredFillIn)
        info.pfnDeferredFillIn(&info);
    HRESULT hr = info.scode ? info.scode : _com_error::WCodeToHRESULT(info.wCode);
    ICreateErrorInfo* create = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
        create->SetSource(info.bstrSource);
        create->SetDescription(info.bstrDescription);
        create->SetHelpFile(info.bstrHelpFile);
        create->SetHelpContext(info.dwHelpContext);
        if (FAILED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&errorInfo))))
            errorInfo = nullptr;
        create->Release();
    }
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    return hr;
}

} // namespace

_variant_t InvokeAutomation(IDispatch* object, DISPID member, WORD kind, std::initializer_list<const VARIANT*> args)
{
    if (!object)
        _com_issue_error(E_POINTER);
    // DISPPARAMS holds the arguments last first; the value of a put is the
    // last declared argument and travels as the DISPID_PROPERTYPUT one.
    std::vector<VARIANT> reversed;
    reversed.reserve(args.size());
    for (auto it = args.end(); it != args.begin();)
        reversed.push_back(**--it);
    DISPID putId = DISPID_PROPERTYPUT;
    bool put = (kind & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS params{reversed.data(), put ? &putId : nullptr, static_cast<UINT>(reversed.size()), put ? 1u : 0u};
    EXCEPINFO info{};
    UINT argError = 0;
    _variant_t result;
    HRESULT hr = object->Invoke(member, GUID_NULL, LOCALE_USER_DEFAULT, kind, &params, put ? nullptr : &result, &info,
                                &argError);
    if (FAILED(hr)) {
        IErrorInfo* errorInfo = nullptr;
        if (hr == DISP_E_EXCEPTION)
            hr = TakeException(info, errorInfo);
        _com_raise_error(hr, errorInfo);
    }
    return result;
}
