// Control face of the COM stand-in's apartments, for the other stand-ins:
// the single-threaded apartment of a thread, calls into it from other
// threads, and proxies for IDispatch interfaces that live in one.
//
// A call into an apartment from another thread is posted to the message
// queue of the apartment's thread and runs when that thread dispatches it;
// the caller waits (dispatching calls into its own apartment meanwhile, as
// COM's modal loop does, so that a callback cannot deadlock).
#pragma once
#include "oaidl.h"

#include <functional>
#include <memory>

class ComApartment;

// The calling thread's single-threaded apartment; null when the thread has
// not entered one (no COM, or the multithreaded model).
std::shared_ptr<ComApartment> CurrentComApartment();
bool ComApartmentAlive(const ComApartment& apartment);

// Runs `call` on the apartment's thread and returns its result, or
// RPC_E_DISCONNECTED when the apartment has ended (before or while the call
// waited). Runs it at once when the caller is in that apartment or there is none.
HRESULT CallInComApartment(const std::shared_ptr<ComApartment>& apartment, const std::function<HRESULT()>& call);

// An interface pointer to `object` usable from any thread: a proxy when the
// calling thread is a single-threaded apartment (so that callers from other
// threads reach the object through this thread's queue), otherwise the
// object itself. The result holds a reference of its own.
IDispatch* DispatchForOtherThreads(IDispatch* object);
