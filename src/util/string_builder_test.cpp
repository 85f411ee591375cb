#include "util/string_builder.h"

#include <gtest/gtest.h>

namespace korund {
namespace {

TEST(StringBuilder, CollectsPiecesWithLinesEndingInCrLf) {
  StringBuilder sb;
  sb.Add("a");
  sb.AddLine("b");
  sb.Add("c");
  sb.AddLine("");
  EXPECT_EQ(sb.ToString(), "ab\r\nc\r\n");
  sb.Clear();
  sb.AddLine("x");
  EXPECT_EQ(sb.ToString(), "x\r\n");
}

}  // namespace
}  // namespace korund
