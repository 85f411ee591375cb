#include "util/string_builder.h"

#include <gtest/gtest.h>

namespace korund {
namespace {

TEST(StringBuilder, CollectsPiecesWithLinesEndingInCrLf) {
  StringBuilder sb;
  EXPECT_EQ(sb.ToString(), "");
  sb.Add("a");
  sb.AddLine("b");
  sb.Add("c");
  EXPECT_EQ(sb.ToString(), "ab\r\nc");
  sb.AddLine("");
  EXPECT_EQ(sb.ToString(), "ab\r\nc\r\n");
  sb.Clear();
  EXPECT_EQ(sb.ToString(), "");
  sb.AddLine("x");
  EXPECT_EQ(sb.ToString(), "x\r\n");
}

}  // namespace
}  // namespace korund
