#pragma once

#include "paramset/ParamFields.h"

#include <QString>

// What the window writes beside each parameter control, for showing a block's fields outside it
// (the traffic monitor): the row's stage, the caption and the unit, in the window's words and
// its translation (context "TfrmMain"). Left and right stand crossed as in the window: the field
// edtPushLeft sits under the caption "右推进量".
namespace params {

// The caption of a row of kFields, translated: "第一组 熔接电流".
QString CaptionText(const Field& f);
// Its unit ("0.1s"), empty when the window shows none.
QString UnitText(const Field& f);

} // namespace params
