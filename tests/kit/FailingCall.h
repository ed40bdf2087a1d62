#pragma once

// ThreadSanitizer follows threads and descriptors through its own definitions of these calls,
// which the test program's would replace (it then fails on the first thread started).
#if defined(__SANITIZE_THREAD__)
#define FAILING_CALL_UNDER_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define FAILING_CALL_UNDER_TSAN 1
#endif
#endif

// While it lives, one C library call of the test program fails as it does when the system has
// run out of what the call hands out: eventfd, socket and inotify_init1 with EMFILE,
// pthread_create with EAGAIN; read fails on a terminal with EIO, as on a device that is gone.
// Not under ThreadSanitizer: there no call fails (Works is false).
class FailingCall {
public:
#ifdef FAILING_CALL_UNDER_TSAN
    static constexpr bool Works = false;
#else
    static constexpr bool Works = true;
#endif
    explicit FailingCall(const char* call);
    FailingCall(const FailingCall&) = delete;
    FailingCall& operator=(const FailingCall&) = delete;
    ~FailingCall();
};
