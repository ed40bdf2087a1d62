#pragma once

#include <QString>

namespace record {

// The user running the program: the login name, and the name a report gives the technician,
// `technician=` in section "record" of config.ini, else the full name of the user's account
// (its GECOS field up to the first comma), else the login name.
QString LoginName();
QString TechnicianName();

} // namespace record
