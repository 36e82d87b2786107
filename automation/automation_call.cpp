#include "automation/automation_call.h"

#include <utility>
#include <vector>

namespace {

// The server's exception as error information, and the HRESULT it stands for.
HRESULT TakeException(EXCEPINFO& info, IErrorInfoPtr& errorInfo)
{
    if (info.pfnDeferredFillIn)
        info.pfnDeferredFillIn(&info);
    // The exception's texts are the caller's to free: the holders take them over.
    _bstr_t source(std::exchange(info.bstrSource, nullptr), false);
    _bstr_t description(std::exchange(info.bstrDescription, nullptr), false);
    _bstr_t helpFile(std::exchange(info.bstrHelpFile, nullptr), false);
    const HRESULT hr = info.scode ? info.scode : _com_error::WCodeToHRESULT(info.wCode);
    ICreateErrorInfoPtr create;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
        create->SetSource(source.GetBSTR());
        create->SetDescription(description.GetBSTR());
        create->SetHelpFile(helpFile.GetBSTR());
        create->SetHelpContext(info.dwHelpContext);
        errorInfo = create; // empty when the object offers no error information
    }
    return hr;
}

} // namespace

_variant_t InvokeAutomation(IDispatch* object, DISPID member, WORD kind, std::initializer_list<const VARIANT*> args)
{
    if (!object)
        _com_issue_error(E_POINTER);
    // DISPPARAMS holds the arguments last first; the value of a put is the
    // last declared argument and travels as the DISPID_PROPERTYPUT one.
    // Calls take at most a few arguments: they stay on the stack, so a call
    // costs no allocation of its own; a longer list takes the heap.
    constexpr std::size_t kArgsOnStack = 4;
    VARIANT onStack[kArgsOnStack];
    std::vector<VARIANT> onHeap;
    VARIANT* reversed = onStack;
    if (args.size() > kArgsOnStack) {
        onHeap.resize(args.size());
        reversed = onHeap.data();
    }
    std::size_t at = 0;
    for (auto it = args.end(); it != args.begin();)
        reversed[at++] = **--it;
    DISPID putId = DISPID_PROPERTYPUT;
    bool put = (kind & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS params{args.size() ? reversed : nullptr, put ? &putId : nullptr, static_cast<UINT>(args.size()), put ? 1u : 0u};
    EXCEPINFO info{};
    UINT argError = 0;
    _variant_t result;
    HRESULT hr = object->Invoke(member, GUID_NULL, LOCALE_USER_DEFAULT, kind, &params, put ? nullptr : &result, &info,
                                &argError);
    if (FAILED(hr)) {
        IErrorInfoPtr errorInfo;
        if (hr == DISP_E_EXCEPTION)
            hr = TakeException(info, errorInfo);
        _com_raise_error(hr, errorInfo.Detach());
    }
    return result;
}
