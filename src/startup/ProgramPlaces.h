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
    QString serviceRecord;   // service.db, the record of what was done to which splicer
};

// The folder of the running executable, with its trailing separator; never the current folder.
QString ExecutableFolder();

// The places of a program whose executable lies in programFolder (with its trailing
// separator): a folder its user may write to is a portable folder, any other an installation.
TProgramPlaces PlacesOf(const QString& programFolder);

// The per-user settings file: $XDG_CONFIG_HOME/spliceon/config.ini, or ~/.config/spliceon/
// when that variable is unset or not an absolute path. Made on the first write.
QString UserSettingsFile();

// The per-user service record: $XDG_DATA_HOME/spliceon/service.db, or ~/.local/share/spliceon/
// when that variable is unset or not an absolute path. Made on the first record.
QString UserServiceRecord();

// Finds the places of a program in programFolder and fixes the settings file every
// configuration access uses. Runs before anything reads configuration.
TProgramPlaces Settle(const QString& programFolder);

} // namespace startup
