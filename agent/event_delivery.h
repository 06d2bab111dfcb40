#ifndef WLAN_AGENT_EVENT_DELIVERY_H
#define WLAN_AGENT_EVENT_DELIVERY_H

// How raised events reach the host's callbacks (HostapdAgent::InvokeEventCbs).
//
// Events are delivered one at a time, in the order they were raised, and no lock of the library
// is held while a callback runs, so a callback may call StopSpy, StartSpy or the registry. A
// raise while no event is being delivered delivers at once on the raising thread. A raise while
// another thread delivers waits for its turn and then delivers its own event on its own thread,
// except on the threads that StopSpy and StartSpy wait for (the spy thread and the WPS worker):
// those never wait, their event is queued and the delivering thread delivers it after its
// current callback. A callback that raises an event itself gets it delivered after it returns.
// Text payloads (station count, WPS message) are copied when queued. Each slot is read just
// before its callback would be called: a callback unregistered meanwhile is not called, one
// registered meanwhile already hears the event being delivered.

// Marks the calling thread as one whose raises never wait for another thread's delivery.
void event_raiser_never_waits();

// While an instance lives on a thread, events that thread raises are only queued; they are
// delivered when the outermost instance on the thread ends. Declared before a lock that a
// callback's StopSpy may need, it keeps the delivery out of the locked section.
class DeferredEventDelivery {
public:
    DeferredEventDelivery();
    ~DeferredEventDelivery();
    DeferredEventDelivery(const DeferredEventDelivery&) = delete;
    DeferredEventDelivery& operator=(const DeferredEventDelivery&) = delete;
};

#endif
