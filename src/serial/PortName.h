#pragma once

#include <functional>
#include <string>

namespace serial {

// Turns a port name into the device path that open uses. The program's names are "COM"n;
// a name that begins with "/" is a path already.
using PortPathResolver = std::function<std::string(const std::string& portName)>;

std::string DefaultPortPath(const std::string& portName);

// The n of "COM"n, or 0 when the name is not of that form.
int ComPortNumber(const std::string& portName);

} // namespace serial
