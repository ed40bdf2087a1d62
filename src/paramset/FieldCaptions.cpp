#include "paramset/FieldCaptions.h"

#include <QCoreApplication>

namespace params {

QString FieldCaption(const Field& f) {
    return QCoreApplication::translate("ParamFields", f.caption);
}

QString FieldUnit(const Field& f) {
    return QString::fromLatin1(f.unit);
}

} // namespace params
