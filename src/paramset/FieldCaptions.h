#pragma once

#include "paramset/ParamFields.h"

#include <QString>

namespace params {

// A field as a person reads it outside the window (a service record, a report, a change
// list): its caption with the row it stands in, and the unit the window prints beside it; both
// translated.
QString FieldCaption(const Field& f);
QString FieldUnit(const Field& f);

} // namespace params
