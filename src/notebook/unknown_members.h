// Inside the notebook folder only: what UnknownMembers holds. The rest of the
// program never sees the file's JSON.
#pragma once

#include <string>
#include <vector>

#include "notebook/notebook.h"

namespace korund::notebook {

struct UnknownMembers::Object {
  struct Member {
    // The key as the file wrote it, quotes and escapes included; a key the
    // model reads is in its plain form ("\"title\""), so the writer finds it.
    std::string key;
    // The value's text exactly as it stood in the file, blanks, line breaks,
    // number digits and escapes included.
    std::string value;
    bool operator==(const Member&) const = default;
  };
  // The object's members in the file's order. The members the model holds
  // keep their place here, the writer putting the model's value there.
  std::vector<Member> members;
};

}  // namespace korund::notebook
