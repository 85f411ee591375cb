// Inside the notebook folder only: what UnknownMembers holds. The rest of the
// program never sees the JSON library.
#pragma once

#include <nlohmann/json.hpp>

#include "notebook/notebook.h"

namespace korund::notebook {

using Json = nlohmann::ordered_json;  // keeps members in the file's order

struct UnknownMembers::Object {
  Json json;  // the object as read, the model's own members among the rest
};

}  // namespace korund::notebook
