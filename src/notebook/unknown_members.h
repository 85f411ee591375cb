// Inside the notebook folder only: what UnknownMembers holds. The rest of the
// program never sees the file's JSON.
#pragma once

#include <string>

#include "notebook/notebook.h"

namespace korund::notebook {

struct UnknownMembers::Object {
  // The object's members in the file's order as compact canonical JSON
  // ("key":value,"key":value; see json_text.h), without the braces. The
  // members the model holds keep their place here; members that hold the
  // model's bulk (items, columns, cells) are stored as null.
  std::string members;
};

}  // namespace korund::notebook
