#include "livelink/app_event_handler.h"

namespace {
std::atomic<long> g_moduleLocks{0};
constexpr DWORD kNoCookie = 0xFEFEFEFE;
} // namespace

long ModuleLockCount() { return g_moduleLocks.load(); }

AppEventHandler::AppEventHandler() { ++g_moduleLocks; }

AppEventHandler::~AppEventHandler()
{
    if (m_excel)
        m_excel->Release();
    --g_moduleLocks;
}

HRESULT AppEventHandler::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IAppEventHandler) {
        *object = static_cast<IAppEventHandler*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG AppEventHandler::AddRef() { return ++m_refs; }

ULONG AppEventHandler::Release()
{
    ULONG left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT AppEventHandler::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT AppEventHandler::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT AppEventHandler::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT AppEventHandler::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    switch (member) {
    case kDispidEnable:
        return Enable();
    case kDispidDisable:
        return Disable();
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT AppEventHandler::ConnectionPoint(IConnectionPoint** point) const
{
    *point = nullptr;
    IConnectionPointContainer* container = nullptr;
    HRESULT hr = m_excel->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(hr))
        return hr;
    hr = container->FindConnectionPoint(__uuidof(Excel::AppEvents), point);
    container->Release();
    return hr;
}

HRESULT AppEventHandler::Enable()
{
    IUnknown* running = nullptr;
    HRESULT hr = GetActiveObject(Excel::CLSID_Application, nullptr, &running);
    if (FAILED(hr))
        return hr;
    IDispatch* application = nullptr;
    hr = running->QueryInterface(__uuidof(Excel::_Application), reinterpret_cast<void**>(&application));
    running->Release();
    if (FAILED(hr))
        return hr;
    if (m_excel)
        m_excel->Release();
    m_excel = application;
    IConnectionPoint* point = nullptr;
    // What the subscription answers is not examined: without it the link
    // simply stays quiet.
    if (SUCCEEDED(ConnectionPoint(&point))) {
        point->Advise(&m_events, &m_cookie);
        point->Release();
    }
    return S_OK;
}

HRESULT AppEventHandler::Disable()
{
    if (!m_excel)
        return S_OK;
    IConnectionPoint* point = nullptr;
    if (SUCCEEDED(ConnectionPoint(&point))) {
        point->Unadvise(m_cookie);
        point->Release();
    }
    m_cookie = kNoCookie;
    m_excel->Release();
    m_excel = nullptr;
    return S_OK;
}

HRESULT AppEventHandler::EventReceiver::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(Excel::AppEvents)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT AppEventHandler::EventReceiver::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }

HRESULT AppEventHandler::EventReceiver::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                           EXCEPINFO*, UINT*)
{
    // Every other application event is accepted and ignored.
    if (member != Excel::dispidSheetChange || !params || params->cArgs != 2)
        return S_OK;
    // Arguments come last first: rgvarg[1] is Sh, rgvarg[0] is Target.
    auto object = [](const VARIANT& v) { return v.vt == VT_DISPATCH ? v.pdispVal : nullptr; };
    m_owner.OnSheetChange(object(params->rgvarg[1]), object(params->rgvarg[0]));
    return S_OK;
}
