#include "fatigue/fatigue_test_support.h"

namespace korund::fatigue {

FatigueTest::FatigueTest() {
  host.notebook.AddSection("Section 1");
  table = host.notebook.AddWorksheet("Data 1").table.get();
  settings.RateFactor = 1.2;
  settings.SetToCopy = 1;
}

}  // namespace korund::fatigue
