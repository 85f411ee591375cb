#include "fatigue/fatigue_test_support.h"

namespace korund::fatigue {

FatigueTest::FatigueTest() {
  settings.RateFactor = 1.2;
  settings.SetToCopy = 1;
}

}  // namespace korund::fatigue
