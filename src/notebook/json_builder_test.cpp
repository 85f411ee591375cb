#include "notebook/json_builder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korund::notebook {
namespace {

TEST(JsonBuilderTest, BuildsNestedValuesOneALine) {
  JsonBuilder json;
  json.BeginObject().Key("kind").String("weibull \"q\"").Key("points").BeginArray();
  json.BeginArray().Number(1.0).Number(-2.5e-7).EndArray();
  json.BeginArray().Number(INFINITY).Null().EndArray();
  json.EndArray().Key("empty").BeginArray().EndArray().Key("n").Integer(-3).EndObject();
  EXPECT_EQ(
      "{\n \"kind\": \"weibull \\\"q\\\"\",\n \"points\": [\n  [\n   1.0,\n   -2.5e-07\n  ],\n"
      "  [\n   null,\n   null\n  ]\n ],\n \"empty\": [],\n \"n\": -3\n}",
      json.Indented(1));
}

}  // namespace
}  // namespace korund::notebook
