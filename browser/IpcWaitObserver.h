#pragma once
// Told when a synchronous IPC call starts and stops waiting for its partner, so that the program
// can say what it waits for and let the person stop waiting (IpcInstance::CancelWait). A partner
// that hangs would otherwise hold the program for the whole time-out with no word why.

#include <QString>

namespace tessarel::browser {

class IpcWaitObserver {
public:
    struct Wait {
        QString service;   // the partner's service name
        QString topic;     // the conversation's topic (the verb)
        bool connecting = false;  // waiting for the partner to accept the conversation
        int timeoutMs = 0;
    };
    virtual ~IpcWaitObserver() = default;
    virtual void WaitStarted(const Wait& wait) = 0;
    virtual void WaitEnded() = 0;
};

}  // namespace tessarel::browser
