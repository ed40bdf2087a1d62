#include "kit/FailingCall.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>

// The definitions below take the C library's place in a test program that uses FailingCall;
// they pass every call on unless it is the one named.
namespace {

std::atomic<const char*> failingCall{""};

} // namespace

FailingCall::FailingCall(const char* call) {
    failingCall = call;
}

FailingCall::~FailingCall() {
    failingCall = "";
}

#ifndef FAILING_CALL_UNDER_TSAN

namespace {

bool fails(const char* call, int error) {
    if (std::strcmp(failingCall, call) != 0)
        return false;
    errno = error;
    return true;
}

template <typename Call> Call* nextDefinition(const char* call) {
    return reinterpret_cast<Call*>(::dlsym(RTLD_NEXT, call));
}

} // namespace

extern "C" int eventfd(unsigned int count, int flags) noexcept {
    static const auto next = nextDefinition<int(unsigned int, int)>("eventfd");
    return fails("eventfd", EMFILE) ? -1 : next(count, flags);
}

extern "C" int socket(int domain, int type, int protocol) noexcept {
    static const auto next = nextDefinition<int(int, int, int)>("socket");
    return fails("socket", EMFILE) ? -1 : next(domain, type, protocol);
}

extern "C" int inotify_init1(int flags) noexcept {
    static const auto next = nextDefinition<int(int)>("inotify_init1");
    return fails("inotify_init1", EMFILE) ? -1 : next(flags);
}

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
    static const auto next = nextDefinition<ssize_t(int, void*, size_t)>("read");
    // Only a terminal's reads: the event loop's own descriptors go on working.
    return std::strcmp(failingCall, "read") == 0 && ::isatty(fd) && fails("read", EIO)
               ? -1
               : next(fd, buffer, count);
}

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*),
                              void* arg) noexcept {
    static const auto next =
        nextDefinition<int(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*)>(
            "pthread_create");
    return fails("pthread_create", EAGAIN) ? EAGAIN : next(thread, attr, start, arg);
}

#endif
