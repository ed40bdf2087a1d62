#include "paramset/SetCompare.h"

#include "protocol/Firmware.h"
#include "protocol/ResponseText.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>

namespace params {

std::vector<CompareRow> CompareWithSplicer(const SetFile& set, uint16_t version,
                                           const QByteArray& splicerBlock) {
    const ConvertedSet converted = ConvertForFirmware(set, version);
    const FusionParams block = FusionParams::Decode(splicerBlock);
    // Older firmware takes the short block whatever its answer carried.
    const int heldBytes = firmware::TakesFullBlock(version)
                              ? int(splicerBlock.size())
                              : std::min<int>(FusionParams::kShortSize, int(splicerBlock.size()));
    std::vector<CompareRow> rows;
    for (const Field& f : kFields) {
        const ConvertedField& c = converted[IndexOf(f)];
        rows.push_back({&f, f.WindowText(block), c.supplied ? QString::number(c.value) : QString(),
                        f.HeldIn(heldBytes), c.supplied, c.fileValue, c.Converted()});
    }
    return rows;
}

int DifferenceCount(const std::vector<CompareRow>& rows) {
    return int(std::ranges::count_if(rows, &CompareRow::Differs));
}

QStringList ApartNotes(const CompareRow& row, const QString& name, uint16_t firmware) {
    QStringList notes;
    if (!row.held)
        notes << QCoreApplication::translate("SetCompare", "%1：固件 %2 的参数块装不下，不会写入")
                     .arg(name, VersionText(firmware, QLocale::c()));
    if (!row.supplied)
        notes << QCoreApplication::translate("SetCompare", "%1：文件的参数块里没有，保留熔接机的值")
                     .arg(name);
    // A value that is not written needs no word on its conversion.
    if (row.converted && row.held)
        notes << QCoreApplication::translate("SetCompare", "%1：按固件 %2 的单位换算，%3 → %4")
                     .arg(name, VersionText(firmware, QLocale::c()), QString::number(row.fileValue),
                          row.file);
    return notes;
}

} // namespace params
