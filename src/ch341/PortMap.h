#pragma once

#include <optional>
#include <string>

namespace ch341 {

inline constexpr int kLastComPort = 21;

// The device path that section "ports" of config.ini gives for "COM"n (key "COM"n, n from 1 to
// 21), for converters that appear under other names and for the simulated splicer.
std::optional<std::string> MappedPortPath(int n);

// Makes every serial port open the mapped path for a mapped "COM"n.
void InstallPortMapping();

} // namespace ch341
