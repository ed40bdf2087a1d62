#include "paramset/ParamFields.h"

#include <algorithm>

namespace params {

std::vector<const Field*> InSavedOrder() {
    std::vector<const Field*> rows;
    for (const Field& f : kFields)
        rows.push_back(&f);
    std::ranges::sort(rows, {}, &Field::saved);
    return rows;
}

} // namespace params
