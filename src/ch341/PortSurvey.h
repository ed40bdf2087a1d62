#pragma once

#include "ch341/Ch341Recognition.h"
#include "cli/Results.h"

#include <QString>

#include <vector>

namespace cli {

// COM1 to COM21 where config.ini maps the name or a ch341-uart tty sits, in that order, each
// opened once the way the window opens it; then CH341 converters on the USB bus whose tty is
// missing or out of reach. brlttyInstalled adds the braille daemon to the advice for a
// converter without a tty.
std::vector<TPortReport> SurveyPorts(const ch341::TSysfsLayout& layout, bool brlttyInstalled);

// How a port stands after an open of path that ended with osError (errno), 0 for one that worked.
TPortState OpenState(int osError, const QString& path);
// That state in words: the explanation --list gives.
QString OpenVerdict(int osError, const QString& path);

// The braille display daemon, whose udev rules take some CH341 converters away from their tty.
bool BrlttyInstalled();

} // namespace cli
