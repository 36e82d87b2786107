#include "livelink/live_link.h"

#include "livelink/livelink.h"
#include "livelink/app_event_handler.h"

#include <objbase.h>

namespace {

// Owned by the main thread from the first Connect until unload.
struct LiveLinkState {
    IDispatch* sinkInterface = nullptr; // the sink as seen from the main thread
    HANDLE eventThread = nullptr;
    HANDLE threadReady = nullptr;
    HANDLE threadStop = nullptr;
};

LiveLinkState& State()
{
    static LiveLinkState state;
    return state;
}

// Enable and Disable reach the sink's apartment through IDispatch, the face
// of the dual interface that crosses apartments.
HRESULT CallSink(IDispatch* sink, DISPID member)
{
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return sink->Invoke(member, GUID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
}

} // namespace

DWORD EventThreadProc(LPVOID streamSlot)
{
    LiveLinkState& state = State();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto* handler = new AppEventHandler;
    if (FAILED(CoMarshalInterThreadInterfaceInStream(IID_IAppEventHandler, static_cast<IAppEventHandler*>(handler),
                                                      static_cast<IStream**>(streamSlot)))) {
        handler->Release();
        CoUninitialize();
        return 1;
    }
    SetEvent(state.threadReady);
    DWORD exitCode = 0;
    for (;;) {
        // A short poll rather than a wait that wakes for messages: the
        // program's event calls are dispatched at most 3 ms late.
        if (WaitForSingleObject(state.threadStop, 3) == WAIT_OBJECT_0)
            break;
        MSG message;
        bool quit = false;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                break;
            }
            DispatchMessageA(&message);
        }
        if (quit) {
            exitCode = 1;
            break;
        }
    }
    // Unsubscribe before going, so the program keeps no connection to a
    // sink whose apartment is about to end.
    handler->Disable();
    handler->Release();
    CoUninitialize();
    return exitCode;
}

bool ConnectLiveLink()
{
    LiveLinkState& state = State();
    HRESULT hr = S_OK;
    if (!state.eventThread) {
        state.threadReady = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        state.threadStop = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        ResetEvent(state.threadReady);
        ResetEvent(state.threadStop);
        IStream* stream = nullptr;
        state.eventThread = CreateThread(nullptr, 0, EventThreadProc, &stream, CREATE_SUSPENDED, nullptr);
        if (!state.eventThread)
            return false;
        ResumeThread(state.eventThread);
        // A worker that could not marshal the sink ends without the ready
        // signal: its end is waited for too, so Connect cannot hang on it.
        HANDLE waits[2] = {state.threadReady, state.eventThread};
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0)
            hr = CoGetInterfaceAndReleaseStream(stream, IID_IDispatch,
                                                reinterpret_cast<void**>(&state.sinkInterface));
        else
            hr = E_FAIL;
    }
    if (state.sinkInterface)
        return SUCCEEDED(CallSink(state.sinkInterface, kDispidEnable));
    return SUCCEEDED(hr);
}

bool DisconnectLiveLink()
{
    LiveLinkState& state = State();
    if (!state.sinkInterface)
        return true;
    if (FAILED(CallSink(state.sinkInterface, kDispidDisable))) {
        // The worker has gone: forget the sink. Releasing a disconnected
        // proxy is safe and leaves nothing behind.
        state.sinkInterface->Release();
        state.sinkInterface = nullptr;
    }
    return true;
}

void StopLiveLink()
{
    LiveLinkState& state = State();
    if (state.eventThread) {
        SetEvent(state.threadStop);
        WaitForSingleObject(state.eventThread, INFINITE);
    }
    if (state.sinkInterface) {
        state.sinkInterface->Release();
        state.sinkInterface = nullptr;
    }
    // The worker's handles are closed here, so that a later load starts
    // clean and no kernel object outlives the module.
    for (HANDLE* handle : {&state.eventThread, &state.threadReady, &state.threadStop}) {
        if (*handle) {
            CloseHandle(*handle);
            *handle = nullptr;
        }
    }
}

bool LiveLinkWorkerStarted() { return State().eventThread != nullptr; }
bool LiveLinkSinkHeld() { return State().sinkInterface != nullptr; }
