#pragma once

#include <QStringList>

#include <vector>

namespace record {

// The statements that bring a service record from schema version v to v + 1, for each v from
// 0: the first creates it. A later version appends a step and never changes an earlier one.
const std::vector<QStringList>& SchemaSteps();

} // namespace record
