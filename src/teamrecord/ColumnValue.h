#pragma once

#include <QSqlQuery>
#include <QVariant>

namespace teamrecord {

// A column's value, to be bound again in another database. Qt reads an empty text or byte string
// as a null one and binds a null one as NULL, which a NOT NULL column refuses: only a real NULL
// stays null.
inline QVariant ColumnValue(const QSqlQuery& q, int column) {
    QVariant v = q.value(column);
    if (q.isNull(column))
        return v;
    if (v.typeId() == QMetaType::QByteArray && v.toByteArray().isNull())
        return QByteArray("");
    if (v.typeId() == QMetaType::QString && v.toString().isNull())
        return QStringLiteral("");
    return v;
}

} // namespace teamrecord
