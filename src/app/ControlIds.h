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
// The raw recovery panel.
inline constexpr int kEntireDiskRadio = 1081;
inline constexpr int kSectorRangeRadio = 1082;
inline constexpr int kStartSectorEdit = 1083;
inline constexpr int kEndSectorEdit = 1084;
inline constexpr int kRawStartButton = 1089;  // "&Start Recovery" / "&Stop Searching"
inline constexpr int kRawProgress = 1090;
inline constexpr int kRawResultsList = 1092;
inline constexpr int kRawKindList = 1093;
inline constexpr int kStartSectorLabel = 1095;
inline constexpr int kEndSectorLabel = 1096;
inline constexpr int kRawStatusText = 1100;
inline constexpr int kSaveLogButton = 1134;
inline constexpr int kFoundCount = 1150;

}  // namespace vantrel::control
