#pragma once
// Numeric identifiers of the main window's controls that the engines address.

namespace vantrel::control {

inline constexpr int kBackButton = 1000;
inline constexpr int kDetailsList = 1001;  // details rows, build status rows, catalogue rows
inline constexpr int kNextButton = 1002;
inline constexpr int kLoadLogButton = 1014;
inline constexpr int kMoreSearchProgress = 1044;
inline constexpr int kSearchProgress = 1046;
inline constexpr int kStatusText = 1047;
inline constexpr int kStopButton = 1065;
inline constexpr int kSaveLogButton = 1134;
inline constexpr int kFoundCount = 1150;

}  // namespace vantrel::control
