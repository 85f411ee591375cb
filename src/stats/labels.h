// The label half of a result table: texts indexed from 1 (element 0 unused),
// parallel to a ValueArray of results.
#pragma once

#include <string>
#include <vector>

namespace korund::stats {

using Labels = std::vector<std::string>;

}  // namespace korund::stats
