#pragma once

#include <QString>
#include <QStringList>

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

// What the words for a failed open name besides its errno, looked up on this system.
struct TOpenFailureFacts {
    QString group{};           // NoPermission: the group that may use the device
    QStringList holders{};     // Held: the programs that have it open, "minicom (4242)"
    bool modemManager = false; // Held: ModemManager runs, and may be probing the port
};
TOpenFailureFacts LookUpOpenFailure(int osError, const QString& path);

// The group that may use the device; "dialout" when its mode gives no group both read and write.
QString DeviceGroup(const QString& path);

// The other processes that have the device open, as fuser finds them: by the descriptors in
// /proc this user may read (another user's processes stay hidden, as they do from fuser).
QStringList DeviceHolders(const QString& path);

// The failure's reason with what to do about it.
QString OpenFailureText(int osError, const QString& path, const TOpenFailureFacts& facts);

} // namespace serial
