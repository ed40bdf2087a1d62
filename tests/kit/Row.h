#pragma once

#include <QTest>

// One table row, its values in column order.
template <class... Values> void row(const char* name, Values... values) {
    (QTest::newRow(name) << ... << values);
}
