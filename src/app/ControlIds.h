#pragma once
// Numeric identifiers of the main window's controls and menu commands. Tests and the
// window address controls by these, as the engines do.

namespace vantrel::control {

// Wizard navigation and the top buttons.
inline constexpr int kBackButton = 1000;
inline constexpr int kNextButton = 1002;
inline constexpr int kSaveDataButton = 1016;
inline constexpr int kLoadLogButton = 1014;
inline constexpr int kSaveLogButton = 1134;
inline constexpr int kBrowseButton = 1017;  // ours: the catalogue as a folder in the file manager
inline constexpr int kHelpButton = 1020;
inline constexpr int kExitButton = 1021;

// The left panel.
inline constexpr int kStepPicture = 1149;
inline constexpr int kSelectDiskGroup = 1136;
inline constexpr int kRecoveryModesGroup = 1041;
inline constexpr int kQuickSearchMode = 1027;
inline constexpr int kAdvancedSearchMode = 1028;
inline constexpr int kRawRecoveryMode = 1029;
// The three trees are created at run time; these stand for them in the control model.
inline constexpr int kDiskTree = 90001;
inline constexpr int kPartitionTree = 90002;
inline constexpr int kFolderTree = 90003;

// The right panel.
inline constexpr int kDetailsList = 1001;  // details rows, build status rows, catalogue rows
inline constexpr int kMoreSearchProgress = 1044;
inline constexpr int kSearchProgress = 1046;
inline constexpr int kStatusText = 1047;  // progress texts; the current folder at stage 2
inline constexpr int kStopButton = 1065;
inline constexpr int kSearchMoreButton = 1011;
inline constexpr int kFoundCount = 1150;
inline constexpr int kPartitionTypeGroup = 1035;
inline constexpr int kLogFolderEdit = 1005;  // hidden: the temporary folder

// The value fields beside the captions under the details list.
inline constexpr int kSelectedDiskValue = 1049;
inline constexpr int kRangeValue = 1051;
inline constexpr int kFileSystemValue = 1053;
inline constexpr int kBootSectorsValue = 1055;
inline constexpr int kDirectoriesValue = 1057;
inline constexpr int kModeValue = 1059;
inline constexpr int kSearchModeValue = 1043;

// The raw recovery panel.
inline constexpr int kRawFileTypesGroup = 1080;
inline constexpr int kRawMethodGroup = 1094;
inline constexpr int kRawReportGroup = 1091;
inline constexpr int kRawFileTypesList = 1093;
inline constexpr int kRawResultsList = 1092;
inline constexpr int kRawEntireDisk = 1081;
inline constexpr int kRawSectorRange = 1082;
inline constexpr int kRawStartLabel = 1095;
inline constexpr int kRawStartSector = 1083;
inline constexpr int kRawEndLabel = 1096;
inline constexpr int kRawEndSector = 1084;
inline constexpr int kRawStartButton = 1089;
inline constexpr int kRawProgress = 1090;
inline constexpr int kRawStatus = 1100;
// Our addition to the panel: size documents and archives by their own structures.
inline constexpr int kRawExactSizes = 1101;

// The "Saving" and "Calculating File Size" dialogs.
inline constexpr int kSavingFileName = 1071;
inline constexpr int kSavingFilePath = 1075;
inline constexpr int kSavingFilesRecovered = 1072;
inline constexpr int kSavingCurrentFile = 1074;
inline constexpr int kSavingDataRecovered = 1143;
inline constexpr int kSavingDataTotal = 1144;
inline constexpr int kSavingProgress = 1145;
inline constexpr int kSavingTimeRemaining = 1146;
inline constexpr int kSavingTimeElapsed = 1147;
inline constexpr int kCountingTotalFiles = 1141;

// Menu commands, whose enabled state is kept like a control's.
inline constexpr int kMenuSave = 32776;
inline constexpr int kMenuSaveSettings = 32838;
inline constexpr int kMenuBrowse = 32860;
inline constexpr int kMenuSaveLog = 32842;
inline constexpr int kMenuLoadLog = 32843;
inline constexpr int kMenuDirectoryView = 32852;
inline constexpr int kMenuDirectoryPrint = 32853;
inline constexpr int kMenuDirectoryEmail = 32855;
inline constexpr int kMenuBalloonHelp = 32851;
inline constexpr int kMenuExit = 57665;
inline constexpr int kMenuUpdate = 32835;
inline constexpr int kMenuViewReport = 32844;
inline constexpr int kMenuEmailReport = 32846;
inline constexpr int kMenuSupportOnline = 32847;
inline constexpr int kMenuSupportEmail = 32848;
inline constexpr int kMenuSupportTelephone = 32849;
inline constexpr int kMenuHelpContents = 32802;
inline constexpr int kMenuAbout = 40003;
inline constexpr int kContextSave = 32830;

}  // namespace vantrel::control
