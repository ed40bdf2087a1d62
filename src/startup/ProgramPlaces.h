#pragma once

#include <QString>

namespace startup {

// Where the program keeps its files. The settings file and the driver installer are two
// notions that meet only in the portable folder, where both lie beside the program. An
// installed program keeps its settings per user and runs no installer: its package set up the
// converter's udev rule.
struct TProgramPlaces {
    QString settingsFile;    // config.ini
    QString driverInstaller; // driver/install beside the program; empty: none to run
    QString setsFolder;      // the named parameter sets, with its trailing separator
    QString serviceRecord;   // service.db, the record of what was done to which splicer
};

// The folder of the running executable, with its trailing separator; never the current folder.
QString ExecutableFolder();

// Whether a program whose executable lies in programFolder (with its trailing separator) is an
// installed one: anywhere under /usr. Any other folder is a portable folder, writable or not.
bool IsInstalled(const QString& programFolder);

// The places of a program whose executable lies in programFolder (with its trailing separator).
TProgramPlaces PlacesOf(const QString& programFolder);

// The per-user settings file: $XDG_CONFIG_HOME/spliceon/config.ini, or ~/.config/spliceon/
// when that variable is unset or not an absolute path. HOME counts only when absolute too;
// otherwise the account's home folder is used. Made on the first write.
QString UserSettingsFile();

// The per-user folder of named parameter sets: $XDG_DATA_HOME/spliceon/sets/, or
// ~/.local/share/spliceon/sets/ when that variable is unset or not an absolute path.
QString UserSetsFolder();

// The per-user service record: $XDG_DATA_HOME/spliceon/service.db, or ~/.local/share/spliceon/
// when that variable is unset or not an absolute path. Made on the first record.
QString UserServiceRecord();

// Finds the places of a program in programFolder and fixes the settings file every
// configuration access uses. Runs before anything reads configuration.
TProgramPlaces Settle(const QString& programFolder);

} // namespace startup
