#pragma once

#include "config/IniFile.h"

#include <QString>

namespace config {

// The configuration file every access uses. Fixed once, at start-up, before anything reads it.
void SetConfigPath(const QString& path);
QString ConfigPath();

QString ReadConfigString(const QString& section, const QString& key);
// "0x"/"0X" and more: hexadecimal. A whole number other than 0 is yes; 0, empty or not a
// number is no.
bool ReadConfigBool(const QString& section, const QString& key);
// Makes the file, and the folders it lies in, when missing.
void WriteConfigString(const QString& section, const QString& key, const QString& value);
void WriteConfigBool(const QString& section, const QString& key, bool value);

// The yes/no reading of ReadConfigBool, for a text already read.
bool ConfigTextIsTrue(const QString& text);

} // namespace config
