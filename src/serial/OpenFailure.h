#pragma once

#include <QString>

namespace serial {

// Why a device did not open, as the user can act on it; the window and the command line word
// a failed open from here.
enum class OpenFailure {
    None,         // it opened
    NoPermission, // EACCES, EPERM
    Held,         // another program has it
    Missing,      // no such device
    NotSerial,    // opens, but is no terminal device
    Other,        // any other errno
};

// The kind of failure an open's errno (an EComPort's OS code) stands for; 0 is None.
OpenFailure OpenFailureOf(int osError);

// The group that may use the device; "dialout" when its mode gives no group both read and write.
QString DeviceGroup(const QString& path);

// The failure's reason with what to do about it; group is DeviceGroup's answer for NoPermission.
QString OpenFailureText(int osError, const QString& path, const QString& group);

} // namespace serial
