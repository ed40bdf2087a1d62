#pragma once

#include <QByteArray>

// A parameter block with a different value in every field, each within the window's range, so
// two fields exchanged anywhere between the line, the window and the saved set show. The check
// boxes go ticked, unticked, ticked.
inline const QByteArray kDistinctBlock = QByteArray::fromHex(
    "581B 01 5C03 6202 1F05 D002 E106 3E03 A408 AC03 660A 1A04 78 82 2C01 A406 01 00 01 0004 1100 "
    "09 0D");

// The same values as the window shows them and the saved set keeps them.
inline const QByteArray kDistinctSet =
    "[Param]\nHeat=70\nCurrent1=21\nCurrent2=32\nCurrent3=43\nCurrent4=54\nCurrent5=65\n"
    "Time1=61\nTime2=72\nTime3=83\nTime4=94\nTime5=105\nPushLeft=120\nPushRight=130\n"
    "AdjustLeft=300\nAdjustRight=1700\ncbpullpush=1\ncbClearDust=0\ncbAdjustReset=1\n"
    "edtDustCurrent=25\nedtDustTime=17\nedtFusePushLength=9\nedtFusePushSpeed=13\n";

// The value a saved set gives key, as it stands there.
inline QByteArray SetValue(const QByteArray& set, const char* key) {
    const QByteArray line = '\n' + QByteArray(key) + '=';
    const qsizetype from = set.indexOf(line) + line.size();
    return set.mid(from, set.indexOf('\n', from) - from);
}
