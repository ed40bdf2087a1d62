#pragma once

#include "ch341/Ch341Recognition.h"

#include <QString>

#include <vector>

namespace cli {

// One line of --list: a port the search would try, or a converter that no port reaches.
struct TPortReport {
    int comNumber = 0; // the n of COMn; 0 when no COM number belongs to it
    QString path{};    // the device the port opens; empty when there is none
    QString source{};  // what makes it a converter: "ch341-uart", "config.ini", "USB 1a86:7523"
    QString verdict{}; // whether this user can open it; if not, why and what to do
    bool openable = false;
    QString probe{}; // with --probe: whether a splicer answered the handshake there
};

// COM1 to COM21 where config.ini maps the name or a ch341-uart tty sits, in that order, each
// opened once the way the window opens it; then CH341 converters on the USB bus whose tty is
// missing or out of reach. brlttyInstalled adds the braille daemon to the advice for a
// converter without a tty.
std::vector<TPortReport> SurveyPorts(const ch341::TSysfsLayout& layout, bool brlttyInstalled);

// The verdict for an open of path that ended with osError (errno), 0 for an open that worked.
QString OpenVerdict(int osError, const QString& path);

// "COM3  /dev/pts/4  config.ini  可以打开": COM number (or "-"), path (or "-"), source, verdict,
// the first three padded to columns; then "；" and the probe's result, when there is one.
QString ReportLine(const TPortReport& report);

// The braille display daemon, whose udev rules take some CH341 converters away from their tty.
bool BrlttyInstalled();

} // namespace cli
