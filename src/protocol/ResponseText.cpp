#include "protocol/ResponseText.h"

#include "protocol/PrintableText.h"

QString VersionText(uint16_t version, const QLocale& locale) {
    return 'V' + locale.toString(version / 100.0, 'g', QLocale::FloatingPointShortest);
}

QString DeviceIdText(const QByteArray& deviceId) {
    return PrintableText(deviceId.left(deviceId.indexOf('\0')));
}

QString EnvironmentText(uint16_t rh, uint16_t t1, uint16_t p, uint16_t t2) {
    return QString::asprintf("RH=%d T=%.2f P=%d T=%.2f", rh, t1 / 10.0, p, t2 / 10.0);
}
