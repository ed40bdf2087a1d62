#pragma once

#include "paramset/SetFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// A set file beside the splicer's own parameters, field by field in the splicer's scale: what
// the window's comparison shows, what --diff prints and what --write lists before it asks.
namespace params {

struct CompareRow {
    const Field* field = nullptr;
    QString splicer;        // as the window shows the splicer's value
    QString file;           // the set's value in the splicer's scale; empty when not supplied
    bool held = false;      // the splicer's block holds the field
    bool supplied = false;  // the set gives the field
    int32_t fileValue = 0;  // as the set has it, before any conversion
    bool converted = false; // brought from the set's firmware scale into the splicer's

    bool Differs() const { return held && supplied && splicer != file; }
};

// One row per field in block order. firmware is the splicer's, splicerBlock the bytes of its
// parameter answer. Raises ESetFile when a converted value leaves its range.
std::vector<CompareRow> CompareWithSplicer(const SetFile& set, uint16_t firmware,
                                           const QByteArray& splicerBlock);
// How many rows differ.
int DifferenceCount(const std::vector<CompareRow>& rows);
// What is listed apart about a row, the field given as name: a field the splicer's block cannot
// hold, one the set does not give, a value converted between firmware scales (from, to).
QStringList ApartNotes(const CompareRow& row, const QString& name, uint16_t firmware);

} // namespace params
