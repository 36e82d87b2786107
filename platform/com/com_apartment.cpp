#include "com_apartment.h"

#include "com_object.h"
#include "com_runtime.h"
#include "objbase.h"
#include "synch.h"
#include "processthreadsapi.h"
#include "message_windows.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

namespace {

// The message by which a call reaches an apartment's thread.
constexpr UINT kComCallMessage = WM_USER + 0x6C;

struct CallPacket {
    std::function<HRESULT()> call;
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    HRESULT result = S_OK;

    void Finish(HRESULT hr)
    {
        {
            std::lock_guard<std::mutex> guard(lock);
            result = hr;
            done = true;
        }
        finished.notify_all();
    }
};

} // namespace

class ComApartment {
public:
    DWORD threadId = 0;
    HWND window = nullptr;

    mutable std::mutex lock;
    bool alive = true;
    std::deque<std::shared_ptr<CallPacket>> inbox;
    // References held for proxies in other apartments, released when the
    // proxy goes or the apartment ends.
    std::map<DWORD, IDispatch*> stubs;
    DWORD nextStub = 1;

    // Runs the oldest waiting call; on the apartment's thread only.
    void RunOne()
    {
        std::shared_ptr<CallPacket> packet;
        {
            std::lock_guard<std::mutex> guard(lock);
            if (inbox.empty())
                return;
            packet = std::move(inbox.front());
            inbox.pop_front();
        }
        packet->Finish(packet->call());
    }

    // On the apartment's thread: no more calls; the stubs' references go.
    void End()
    {
        std::deque<std::shared_ptr<CallPacket>> pending;
        std::map<DWORD, IDispatch*> held;
        {
            std::lock_guard<std::mutex> guard(lock);
            if (!alive)
                return;
            alive = false;
            pending.swap(inbox);
            held.swap(stubs);
        }
        for (auto& packet : pending)
            packet->Finish(RPC_E_DISCONNECTED);
        for (auto& [id, object] : held)
            object->Release();
        DestroyWindow(window);
    }

    DWORD AddStub(IDispatch* object)
    {
        object->AddRef();
        std::lock_guard<std::mutex> guard(lock);
        DWORD id = nextStub++;
        stubs[id] = object;
        return id;
    }
    // On the apartment's thread only: the object stays in the table.
    IDispatch* Stub(DWORD id)
    {
        std::lock_guard<std::mutex> guard(lock);
        auto it = stubs.find(id);
        return it == stubs.end() ? nullptr : it->second;
    }
    IDispatch* TakeStub(DWORD id)
    {
        std::lock_guard<std::mutex> guard(lock);
        auto it = stubs.find(id);
        if (it == stubs.end())
            return nullptr;
        IDispatch* object = it->second;
        stubs.erase(it);
        return object;
    }
};

namespace {

struct ThreadCom {
    int initCount = 0;
    DWORD model = 0;
    std::shared_ptr<ComApartment> apartment;

    // A thread that ends without CoUninitialize ends its apartment too.
    ~ThreadCom()
    {
        if (apartment)
            apartment->End();
    }
};
thread_local ThreadCom t_com;

LRESULT ApartmentWindowProc(HWND, UINT message, WPARAM, LPARAM)
{
    if (message == kComCallMessage && t_com.apartment)
        t_com.apartment->RunOne();
    return 0;
}

// Posts `call` to the apartment without waiting for it; false when the
// apartment has ended.
bool PostToComApartment(const std::shared_ptr<ComApartment>& apartment, std::function<HRESULT()> call)
{
    auto packet = std::make_shared<CallPacket>();
    packet->call = std::move(call);
    {
        std::lock_guard<std::mutex> guard(apartment->lock);
        if (!apartment->alive)
            return false;
        apartment->inbox.push_back(packet);
    }
    PostMessageA(apartment->window, kComCallMessage, 0, 0);
    return true;
}

// Releases a stub's reference on the apartment's thread. A release from
// another thread does not wait for it: the owner may be the very thread the
// releasing one waits for.
void ReleaseStub(const std::shared_ptr<ComApartment>& apartment, DWORD id)
{
    auto release = [apartment, id] {
        if (IDispatch* object = apartment->TakeStub(id))
            object->Release();
        return S_OK;
    };
    if (apartment->threadId == GetCurrentThreadId())
        release();
    else
        PostToComApartment(apartment, release);
}

class DispatchProxy final : public IDispatch, private ComObjectBase {
public:
    DispatchProxy(std::shared_ptr<ComApartment> owner, DWORD stub) : owner_(std::move(owner)), stub_(stub) {}
    ~DispatchProxy() override { ReleaseStub(owner_, stub_); }

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch)
            return ComAnswer<IDispatch>(this, object);
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }

    HRESULT GetTypeInfoCount(UINT* count) override
    {
        return Forward([&](IDispatch* target) { return target->GetTypeInfoCount(count); });
    }
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override
    {
        return Forward([&](IDispatch* target) { return target->GetTypeInfo(index, lcid, info); });
    }
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override
    {
        return Forward([&](IDispatch* target) { return target->GetIDsOfNames(riid, names, count, lcid, ids); });
    }
    HRESULT Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excepInfo, UINT* argError) override
    {
        return Forward([&](IDispatch* target) {
            return target->Invoke(member, riid, lcid, flags, params, result, excepInfo, argError);
        });
    }

private:
    template <class F>
    HRESULT Forward(F&& f)
    {
        return CallInComApartment(owner_, [&]() -> HRESULT {
            IDispatch* target = owner_->Stub(stub_);
            return target ? f(target) : RPC_E_DISCONNECTED;
        });
    }

    std::shared_ptr<ComApartment> owner_;
    DWORD stub_;
};

class MarshalStream final : public IStream, private ComObjectBase {
public:
    // In a single-threaded apartment the stream carries a stub of `owner`;
    // in the multithreaded model (no owner) the object itself, which is free
    // to be called from any thread.
    MarshalStream(std::shared_ptr<ComApartment> owner, DWORD stub, IDispatch* direct)
        : owner_(std::move(owner)), stub_(stub), direct_(direct)
    {
    }
    ~MarshalStream() override
    {
        if (stub_)
            ReleaseStub(owner_, stub_);
        if (direct_)
            direct_->Release();
    }
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (riid == IID_IUnknown || riid == IID_IStream)
            return ComAnswer<IStream>(this, object);
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }

    HRESULT Unmarshal(REFIID riid, void** object)
    {
        if (direct_)
            return direct_->QueryInterface(riid, object);
        if (!stub_)
            return E_UNEXPECTED; // already taken out
        if (owner_ == CurrentComApartment()) {
            IDispatch* target = owner_->Stub(stub_);
            return target ? target->QueryInterface(riid, object) : RPC_E_DISCONNECTED;
        }
        if (riid != IID_IUnknown && riid != IID_IDispatch)
            return E_NOINTERFACE;
        if (!ComApartmentAlive(*owner_))
            return RPC_E_DISCONNECTED;
        auto* proxy = new DispatchProxy(owner_, stub_);
        stub_ = 0; // the proxy owns the stub now
        *object = static_cast<IDispatch*>(proxy);
        return S_OK;
    }

private:
    std::shared_ptr<ComApartment> owner_;
    DWORD stub_;
    IDispatch* direct_;
};

} // namespace

std::shared_ptr<ComApartment> CurrentComApartment() { return t_com.apartment; }

bool ComApartmentAlive(const ComApartment& apartment)
{
    std::lock_guard<std::mutex> guard(apartment.lock);
    return apartment.alive;
}

HRESULT CallInComApartment(const std::shared_ptr<ComApartment>& apartment, const std::function<HRESULT()>& call)
{
    if (!apartment || apartment->threadId == GetCurrentThreadId()) {
        if (apartment && !ComApartmentAlive(*apartment))
            return RPC_E_DISCONNECTED;
        return call();
    }
    auto packet = std::make_shared<CallPacket>();
    packet->call = call;
    {
        std::lock_guard<std::mutex> guard(apartment->lock);
        if (!apartment->alive)
            return RPC_E_DISCONNECTED;
        apartment->inbox.push_back(packet);
    }
    if (!PostMessageA(apartment->window, kComCallMessage, 0, 0)) {
        // The thread's queue is gone with the thread: the apartment has ended.
        std::lock_guard<std::mutex> guard(apartment->lock);
        for (auto it = apartment->inbox.begin(); it != apartment->inbox.end(); ++it) {
            if (*it == packet) {
                apartment->inbox.erase(it);
                return RPC_E_DISCONNECTED;
            }
        }
    }
    std::shared_ptr<ComApartment> own = CurrentComApartment();
    std::unique_lock<std::mutex> guard(packet->lock);
    while (!packet->done) {
        if (!own) {
            packet->finished.wait(guard);
            continue;
        }
        // Calls into this thread's own apartment keep running while it waits.
        packet->finished.wait_for(guard, std::chrono::milliseconds(1));
        guard.unlock();
        MSG message;
        while (PeekMessageA(&message, own->window, kComCallMessage, kComCallMessage, PM_REMOVE))
            DispatchMessageA(&message);
        guard.lock();
    }
    return packet->result;
}

IDispatch* DispatchForOtherThreads(IDispatch* object)
{
    std::shared_ptr<ComApartment> apartment = CurrentComApartment();
    if (!apartment || !object) {
        if (object)
            object->AddRef();
        return object;
    }
    return new DispatchProxy(apartment, apartment->AddStub(object));
}

HRESULT CoInitializeEx(LPVOID, DWORD coInit)
{
    DWORD model = coInit & COINIT_APARTMENTTHREADED;
    if (t_com.initCount > 0 && t_com.model != model)
        return RPC_E_CHANGED_MODE;
    t_com.model = model;
    if (t_com.initCount++ > 0)
        return S_FALSE;
    if (model == COINIT_APARTMENTTHREADED) {
        auto apartment = std::make_shared<ComApartment>();
        apartment->threadId = GetCurrentThreadId();
        apartment->window = CreateMessageWindow(ApartmentWindowProc);
        t_com.apartment = std::move(apartment);
    }
    return S_OK;
}

HRESULT CoInitialize(LPVOID reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

void CoUninitialize()
{
    if (t_com.initCount == 0 || --t_com.initCount > 0)
        return;
    if (t_com.apartment) {
        t_com.apartment->End();
        t_com.apartment.reset();
    }
}

HRESULT CoMarshalInterThreadInterfaceInStream(REFIID riid, LPUNKNOWN object, LPSTREAM* stream)
{
    if (!object || !stream)
        return E_INVALIDARG;
    *stream = nullptr;
    if (ComRuntime* runtime = ComRuntime::Current()) {
        if (HRESULT hr = runtime->TakeCallFault(ComCall::CoMarshalInterThreadInterfaceInStream); FAILED(hr))
            return hr;
    }
    if (t_com.initCount == 0)
        return CO_E_NOTINITIALIZED;
    IUnknown* asked = nullptr;
    if (HRESULT hr = object->QueryInterface(riid, reinterpret_cast<void**>(&asked)); FAILED(hr))
        return hr;
    asked->Release();
    // The stub side holds the object's IDispatch: the one face that can be
    // called from another apartment here.
    IDispatch* dispatch = nullptr;
    if (FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
        return E_NOINTERFACE;
    std::shared_ptr<ComApartment> apartment = t_com.apartment;
    if (!apartment) {
        *stream = new MarshalStream(nullptr, 0, dispatch); // takes the reference
        return S_OK;
    }
    DWORD stub = apartment->AddStub(dispatch);
    dispatch->Release();
    *stream = new MarshalStream(apartment, stub, nullptr);
    return S_OK;
}

HRESULT CoGetInterfaceAndReleaseStream(LPSTREAM stream, REFIID riid, LPVOID* object)
{
    if (!stream || !object)
        return E_INVALIDARG;
    *object = nullptr;
    HRESULT hr = static_cast<MarshalStream*>(stream)->Unmarshal(riid, object);
    stream->Release();
    return hr;
}
