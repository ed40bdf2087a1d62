#pragma once

#include <cerrno>
#include <stdexcept>
#include <string>

namespace serial {

// The component's error: a component code (1 to 23) and the operating system's error
// code (errno here), or -1 where none applies.
class EComPort : public std::runtime_error {
public:
    static constexpr int NoOsCode = -1;

    explicit EComPort(int code, int osCode = NoOsCode);

    int Code() const noexcept { return code_; }
    int OsCode() const noexcept { return osCode_; }

    // The text of a component code, without the OS code suffix.
    static std::string CodeText(int code);

private:
    int code_;
    int osCode_;
};

// Component codes raised by this program; the full table lives in ComError.cpp.
enum ComErrorCode : int {
    CError_OpenFailed = 1,
    CError_WriteFailed = 2,
    CError_ReadFailed = 3,
    CError_SetCommStateFailed = 7,
    CError_SetupComFailed = 9,
    CError_ClearComFailed = 10,
    CError_ModemStatFailed = 11,
    CError_ConnChangeProp = 14,
    CError_RegFailed = 18,
};

// The one place an operating-system failure becomes the component's error: the code of the
// operation that failed, with errno (or the error number a call returned) as the OS code.
[[noreturn]] void RaiseOsError(ComErrorCode code, int error = errno);

} // namespace serial
