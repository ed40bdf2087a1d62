#pragma once

// While it lives, one C library call of the test program fails as it does when the system has
// run out of what the call hands out: eventfd, socket and inotify_init1 with EMFILE,
// pthread_create with EAGAIN.
class FailingCall {
public:
    explicit FailingCall(const char* call);
    FailingCall(const FailingCall&) = delete;
    FailingCall& operator=(const FailingCall&) = delete;
    ~FailingCall();
};
