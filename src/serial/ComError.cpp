#include "serial/ComError.h"

#include <array>
#include <cstdio>

namespace serial {
namespace {

constexpr std::array<const char*, 23> kTexts = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

std::string message(int code, int osCode) {
    std::string text = EComPort::CodeText(code);
    if (osCode != EComPort::NoOsCode) {
        // The suffix keeps the wording users and support already know; on Linux it carries errno.
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, " (win error code: %d)", osCode);
        text += suffix;
    }
    return text;
}

} // namespace

EComPort::EComPort(int code, int osCode)
    : std::runtime_error(message(code, osCode)), code_(code), osCode_(osCode) {}

std::string EComPort::CodeText(int code) {
    if (code < 1 || code > static_cast<int>(kTexts.size()))
        return {};
    return kTexts[static_cast<size_t>(code - 1)];
}

void RaiseOsError(ComErrorCode code, int error) {
    throw EComPort(code, error);
}

} // namespace serial
