// The statistics routines: linear regression, the Weibull maximum-likelihood
// estimate, descriptive statistics, sorting and the gamma function. They
// compute and nothing else: no routine shows a box or touches a worksheet.
//
// One convention for the whole folder. A routine whose data can defeat it
// (too few points, no spread, a value that is not a positive number, an
// iteration that does not converge) returns a Result: the typed figures, or
// the Failure and a text that says why. What the user then sees is the
// caller's decision. A call that breaks a routine's contract (a count past
// the end of an array) throws std::out_of_range or std::invalid_argument, as
// the standard library would.
#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <utility>

namespace korund::stats {

enum class Failure {
  kNone,
  kNotPositive,   // a value that is not a positive number where logarithms are taken
  kNoFit,         // too few points, no spread, or the arithmetic broke down
  kNotConverged,  // an iteration ran out of steps (or broke down while iterating)
  kOutOfDomain,   // an input outside the range the model is defined on
};

template <typename T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: a success reads as its value

  static Result Fail(Failure why, std::string message = std::string()) {
    assert(why != Failure::kNone);
    return Result(why, std::move(message));
  }

  bool ok() const { return value_.has_value(); }
  Failure failure() const { return ok() ? Failure::kNone : failure_; }
  // Why the routine failed, as a sentence fit to show; may be empty.
  const std::string& message() const { return message_; }

  const T& value() const {
    assert(ok());
    return *value_;
  }
  const T* operator->() const { return &value(); }
  const T& operator*() const { return value(); }

 private:
  Result(Failure why, std::string message) : failure_(why), message_(std::move(message)) {}

  std::optional<T> value_;
  Failure failure_ = Failure::kNone;
  std::string message_;
};

}  // namespace korund::stats
