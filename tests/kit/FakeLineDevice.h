#pragma once

#include "kit/FailingCall.h"
#include "serial/LineEvents.h"

#include <string>

// While it lives, the terminal device at path answers the requests for line events as a
// USB-serial converter's driver does: TIOCGICOUNT with the error counts set here, TIOCMGET with
// the modem lines set here, TIOCMIWAIT by returning once they change (or a signal interrupts
// it). Every other request, and every other device, reaches the C library. Not under
// ThreadSanitizer, for FailingCall's reason (Works is false there).
class FakeLineDevice {
public:
    static constexpr bool Works = FailingCall::Works;
    explicit FakeLineDevice(const std::string& path);
    FakeLineDevice(const FakeLineDevice&) = delete;
    FakeLineDevice& operator=(const FakeLineDevice&) = delete;
    ~FakeLineDevice();

    void SetErrorCounts(const serial::TLineErrorCounts& counts);
    void SetModemLines(const serial::TModemStatus& lines);
    // Whether a TIOCMIWAIT waits now: a change made then is one the waiter had not seen.
    bool Waiting() const;
};
