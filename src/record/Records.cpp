#include "record/Records.h"

#include "record/Technician.h"

#include <QUuid>

#include <array>

namespace record {
namespace {

constexpr std::array kKindNames = {"read",       "write", "restore", "arc-test", "core-reset",
                                   "set-origin", "query", "save",    "load"};
constexpr std::array kOutcomeNames = {"verified", "sent", "done", "failed"};

template <class E, size_t N>
std::optional<E> fromName(const std::array<const char*, N>& names, const QString& name) {
    for (size_t i = 0; i < N; ++i)
        if (name == QLatin1String(names[i]))
            return E(i);
    return std::nullopt;
}

} // namespace

QString KindName(Kind kind) {
    return QString::fromLatin1(kKindNames.at(size_t(kind)));
}

QString OutcomeName(Outcome outcome) {
    return QString::fromLatin1(kOutcomeNames.at(size_t(outcome)));
}

std::optional<Kind> KindFromName(const QString& name) {
    return fromName<Kind>(kKindNames, name);
}

std::optional<Outcome> OutcomeFromName(const QString& name) {
    return fromName<Outcome>(kOutcomeNames, name);
}

Stamp NewStamp(const QString& port, const QByteArray& deviceId) {
    const QDateTime now = QDateTime::currentDateTime();
    return {QUuid::createUuid().toString(QUuid::WithoutBraces),
            now.toOffsetFromUtc(now.offsetFromUtc()),
            LoginName(),
            QStringLiteral(SPLICEON_VERSION),
            port,
            deviceId};
}

} // namespace record
