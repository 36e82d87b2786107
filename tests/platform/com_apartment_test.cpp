// Single-threaded apartments: calls from other threads run on the owning
// thread when it dispatches messages, and fail once the apartment has ended;
// the spreadsheet program's events reach a sink through its apartment.
#include "support/excel_fixture.h"
#include "support/test_event_sink.h"

#include <objbase.h>
#include <ocidl.h>
#include <windows.h>

#include <atomic>
#include <thread>

namespace {

// An automation object that records the thread each call ran on.
class ThreadRecorder final : public TestEventSink {
public:
    std::atomic<DWORD> lastThread{0};
    std::atomic<int> calls{0};

    HRESULT OnInvoke(DISPID member, DISPPARAMS*) override
    {
        lastThread = GetCurrentThreadId();
        ++calls;
        return member == 99 ? E_FAIL : S_OK;
    }
};

HRESULT CallMember(IDispatch* object, DISPID member)
{
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return object->Invoke(member, GUID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
}

// A thread that is a single-threaded apartment owning one ThreadRecorder,
// marshalled into `stream`; it dispatches messages only while `pumping` is
// set and ends its apartment when `stop` is set.
class ApartmentThread {
public:
    ApartmentThread()
    {
        thread_ = std::thread([this] {
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            id = GetCurrentThreadId();
            recorder = new ThreadRecorder;
            marshalResult = CoMarshalInterThreadInterfaceInStream(IID_IDispatch, recorder, &stream);
            ready = true;
            while (!stop) {
                MSG message;
                if (pumping) {
                    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                        DispatchMessageA(&message);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            recorder->Release();
            CoUninitialize();
        });
        while (!ready)
            std::this_thread::yield();
    }
    ~ApartmentThread() { Join(); }
    void Join()
    {
        stop = true;
        if (thread_.joinable())
            thread_.join();
    }

    std::atomic<bool> ready{false}, pumping{true}, stop{false};
    DWORD id = 0;
    ThreadRecorder* recorder = nullptr;
    IStream* stream = nullptr;
    HRESULT marshalResult = E_FAIL;

private:
    std::thread thread_;
};

using ComApartments = ExcelTest;

TEST_F(ComApartments, ProxyCallRunsOnTheOwningThreadWhileTheCallerWaits)
{
    ApartmentThread owner;
    ASSERT_EQ(owner.marshalResult, S_OK);
    IDispatch* proxy = nullptr;
    ASSERT_EQ(CoGetInterfaceAndReleaseStream(owner.stream, IID_IDispatch, reinterpret_cast<void**>(&proxy)), S_OK);
    ASSERT_NE(static_cast<void*>(proxy), static_cast<void*>(owner.recorder)) << "another apartment gets a proxy";
    EXPECT_EQ(CallMember(proxy, 1), S_OK);
    // The object ran on its own thread, not on the caller's.
    EXPECT_EQ(owner.recorder->lastThread.load(), owner.id);
    EXPECT_EQ(CallMember(proxy, 99), E_FAIL); // the callee's result comes back

    owner.pumping = false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10)); // let a pass already begun finish
    std::atomic<bool> returned{false};
    std::thread caller([&] {
        CallMember(proxy, 2);
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    // While the owner does not dispatch messages, the call waits in its queue.
    EXPECT_FALSE(returned.load());
    EXPECT_EQ(owner.recorder->calls.load(), 2);
    owner.pumping = true;
    caller.join();
    EXPECT_EQ(owner.recorder->calls.load(), 3);
    proxy->Release();
}

TEST_F(ComApartments, CallsFailDisconnectedOnceTheApartmentHasEnded)
{
    LONG before = ComLiveObjectCount();
    auto owner = std::make_unique<ApartmentThread>();
    IDispatch* proxy = nullptr;
    ASSERT_EQ(CoGetInterfaceAndReleaseStream(owner->stream, IID_IDispatch, reinterpret_cast<void**>(&proxy)), S_OK);
    owner->Join();
    // The apartment's end released what its proxies held: only the proxy lives.
    EXPECT_EQ(ComLiveObjectCount(), before + 1);
    EXPECT_EQ(CallMember(proxy, 1), RPC_E_DISCONNECTED);
    proxy->Release();
}

TEST_F(ComApartments, ThreadEndingWithoutUninitialiseEndsItsApartment)
{
    IStream* stream = nullptr;
    ThreadRecorder* recorder = nullptr;
    std::thread owner([&] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        recorder = new ThreadRecorder;
        CoMarshalInterThreadInterfaceInStream(IID_IDispatch, recorder, &stream);
        recorder->Release();
    });
    owner.join();
    IDispatch* proxy = nullptr;
    // Unmarshalling from a dead apartment reports it as disconnected.
    EXPECT_EQ(CoGetInterfaceAndReleaseStream(stream, IID_IDispatch, reinterpret_cast<void**>(&proxy)),
              RPC_E_DISCONNECTED);
    EXPECT_EQ(proxy, nullptr);
}

TEST_F(ComApartments, SameApartmentGetsTheObjectAndOthersOnlyItsDispatchFace)
{
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    CoUninitialize();
    auto* recorder = new ThreadRecorder;
    IStream* stream = nullptr;
    ASSERT_EQ(CoMarshalInterThreadInterfaceInStream(IID_IDispatch, recorder, &stream), S_OK);
    IDispatch* same = nullptr;
    // Unmarshalled in the marshalling apartment: the object itself.
    ASSERT_EQ(CoGetInterfaceAndReleaseStream(stream, IID_IDispatch, reinterpret_cast<void**>(&same)), S_OK);
    EXPECT_EQ(static_cast<void*>(same), static_cast<void*>(recorder));
    same->Release();

    ASSERT_EQ(CoMarshalInterThreadInterfaceInStream(IID_IDispatch, recorder, &stream), S_OK);
    HRESULT elsewhere = S_OK;
    std::thread other([&] {
        void* object = nullptr;
        // Across apartments only interfaces with a proxy can be had.
        elsewhere = CoGetInterfaceAndReleaseStream(stream, __uuidof(Excel::AppEvents), &object);
    });
    other.join();
    EXPECT_EQ(elsewhere, E_NOINTERFACE);
    recorder->Release();
    CoUninitialize();

    // Marshalling needs COM on the thread.
    recorder = new ThreadRecorder;
    EXPECT_EQ(CoMarshalInterThreadInterfaceInStream(IID_IDispatch, recorder, &stream), CO_E_NOTINITIALIZED);
    recorder->Release();
}

TEST_F(ComApartments, SheetChangeReachesAnApartmentSinkOnlyWhileItDispatches)
{
    InstallExcel(excelsim::ExcelInstall::Running);
    {
        IDispatchPtr app = Application();
        Call(Get(app, Excel::dispidWorkbooks), Excel::dispidAdd, DISPATCH_METHOD);
    }
    std::atomic<bool> advised{false}, mayPump{false}, stop{false};
    std::atomic<DWORD> sinkThread{0};
    HRESULT adviseResult = E_FAIL;
    ThreadRecorder* sink = nullptr;
    // The sink lives in this thread's apartment and subscribes from there.
    std::thread sinkHome([&] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        sinkThread = GetCurrentThreadId();
        IDispatchPtr app = Application();
        IConnectionPointContainer* container = nullptr;
        app->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
        IConnectionPoint* point = nullptr;
        container->FindConnectionPoint(__uuidof(Excel::AppEvents), &point);
        sink = new ThreadRecorder;
        DWORD cookie = 0;
        adviseResult = point->Advise(sink, &cookie);
        advised = true;
        while (!stop) {
            MSG message;
            if (mayPump) {
                while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                    DispatchMessageA(&message);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        point->Unadvise(cookie);
        sink->Release();
        point->Release();
        container->Release();
        CoUninitialize();
    });
    while (!advised)
        std::this_thread::yield();
    ASSERT_EQ(adviseResult, S_OK);
    std::atomic<bool> fired{false};
    std::thread user([&] {
        std::string error;
        excel_->Running()->EditCell(u"Book1", u"Sheet1", 2, 3, u"x", error);
        fired = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    // Not delivered while the sink's thread dispatches nothing; the program waits.
    EXPECT_EQ(sink->calls.load(), 0);
    EXPECT_FALSE(fired.load());
    mayPump = true;
    user.join();
    EXPECT_EQ(sink->calls.load(), 1);
    EXPECT_EQ(sink->lastThread.load(), sinkThread.load()) << "the event ran on the sink's own thread";
    stop = true;
    sinkHome.join();
}

TEST_F(ComApartments, EventsToAnEndedApartmentFailQuietlyForTheProgram)
{
    InstallExcel(excelsim::ExcelInstall::Running);
    {
        IDispatchPtr app = Application();
        Call(Get(app, Excel::dispidWorkbooks), Excel::dispidAdd, DISPATCH_METHOD);
    }
    std::thread sinkHome([&] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IDispatchPtr app = Application();
        IConnectionPointContainer* container = nullptr;
        app->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
        IConnectionPoint* point = nullptr;
        container->FindConnectionPoint(__uuidof(Excel::AppEvents), &point);
        auto* sink = new ThreadRecorder;
        DWORD cookie = 0;
        point->Advise(sink, &cookie);
        sink->Release();
        point->Release();
        container->Release();
        CoUninitialize(); // ends without unsubscribing
    });
    sinkHome.join();
    std::string error;
    // The program neither blocks nor fails the edit.
    EXPECT_TRUE(excel_->Running()->EditCell(u"Book1", u"Sheet1", 2, 3, u"y", error)) << error;
}

} // namespace
