#include "paramset/ParamFields.h"

#include <algorithm>

namespace params {

bool Field::HeldIn(int bytes) const {
    FusionParams only;
    Set(only, -1);
    return !only.Encode().mid(bytes).contains(char(0xFF));
}

std::vector<const Field*> InSavedOrder() {
    std::vector<const Field*> rows;
    for (const Field& f : kFields)
        rows.push_back(&f);
    std::ranges::sort(rows, {}, &Field::saved);
    return rows;
}

} // namespace params
