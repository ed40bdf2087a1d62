#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <cstdint>

// "V" and the version in hundredths in shortest decimal form with the locale's decimal separator
// (134: V1.34, 140: V1.4, 200: V2).
QString VersionText(uint16_t version, const QLocale& locale = QLocale::system());
// The device identifier as DeviceState keeps it, up to its terminating zero.
QString DeviceIdText(const QByteArray& deviceId);
// The environment answer: relative humidity, temperature (tenths), pressure, temperature.
QString EnvironmentText(uint16_t rh, uint16_t t1, uint16_t p, uint16_t t2);
