#pragma once

#include "record/Records.h"

#include <QString>

#include <vector>

// The service record as a person reads it, translated: what an operation was, how it went, and
// which parameter fields it changed, each through the one field table in the window's units.
namespace record {

QString KindCaption(Kind kind);
QString OutcomeCaption(const Operation& o);
// "14:03 写入：已发送，3 项改变".
QString Summary(const Operation& o);
// The splicer's identifier, printable.
QString DeviceText(const QByteArray& deviceId);

struct FieldChange {
    QString key; // the field's key in the saved set, language-free
    QString caption;
    QString unit;
    QString before;
    QString after;
};
// The fields whose value differs between two blocks, over the bytes both hold.
std::vector<FieldChange> Changes(const QByteArray& before, const QByteArray& after);
// What a write changed: from the block held before to the one sent; without a block read
// before, every field sent, with no value before.
std::vector<FieldChange> WriteChanges(const Operation& write);
// The changes as one line: "加热时间 60 → 65 s; …".
QString ChangesLine(const std::vector<FieldChange>& changes);
// What else an operation carries, in words (arc test current and time, a query's answer).
QString DetailText(const Operation& o);

} // namespace record
