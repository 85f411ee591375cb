// The settings one run shares between the shell, the guards, the dialogs and
// the analyses. One object per run, passed by reference (no globals), so every
// test builds its own run. Start values are those of a fresh process.
#pragma once

#include <cstdint>
#include <string>

#include "util/value.h"

namespace korund {

inline constexpr const char* kVersion = "2.00";

// "KORUND " followed by the version: the title of boxes shown without one.
inline std::string AppTitle() { return std::string("KORUND ") + kVersion; }

// Analysis kinds (FitType).
inline constexpr int32_t kFitDynamic = 0;
inline constexpr int32_t kFitStatic = 1;
inline constexpr int32_t kFitWeibull = 2;
// Not an analysis of the original program: the proof-test lifetime design.
inline constexpr int32_t kFitLifetime = 3;

// What a fatigue analysis varies; stored in the worksheet as the number.
enum class FatigueMode : int32_t {
  kStressRate = 0,
  kFaceplateVelocity = 1,
  kStatic = 2,
};

struct RunSettings {
  // Run identity and results.
  int32_t FitType = 0;
  std::string FinishMessage;

  // Default plot styles: element 0 = 10, elements 1..10 the codes.
  ValueArray SymbolCodes;
  ValueArray ColorCodes;

  // Names found at attach time (messages and dialog captions).
  std::string WorksheetName;
  std::string SectionName;

  // Analysis options, restored by the guards and changed by the dialogs.
  bool LockWorksheet = false;
  int16_t FOpt = 0;
  korund::FatigueMode FatigueMode = korund::FatigueMode::kStressRate;
  bool IgnoreWeakest = false;
  bool GroupRates = false;
  double RateFactor = 0.0;
  bool IgnoreByComment = false;
  std::string IgnoreChars;
  bool CopyData = false;
  int16_t SetToCopy = 0;
  bool MakeReport = false;
};

}  // namespace korund
