// The numbers of the program's dialog, icons and controls.
#pragma once

inline constexpr int kSystemCheckDialog = 143;
inline constexpr int kProgramIcon = 147;
inline constexpr int kPassIcon = 149;
inline constexpr int kProblemIcon = 150;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kOsText = 1008;
inline constexpr int kOsIcon = 1039;
inline constexpr int kDiskText = 1007;
inline constexpr int kDiskIcon = 1021;
inline constexpr int kMemoryText = 1035;
inline constexpr int kMemoryIcon = 1045;
inline constexpr int kProcessorText = 1012;
inline constexpr int kProcessorIcon = 1020;
inline constexpr int kDirectDrawText = 1009;
inline constexpr int kDirectDrawIcon = 1022;
inline constexpr int kDirectSoundText = 1010;
inline constexpr int kDirectSoundIcon = 1046;
inline constexpr int kDirectInputText = 1013;
inline constexpr int kDirectInputIcon = 1024;
inline constexpr int kWinsockText = 1011;
inline constexpr int kWinsockIcon = 1025;
inline constexpr int kPingButton = 1029;
inline constexpr int kServerNameText = 1044;
inline constexpr int kPingResultText = 1014;
inline constexpr int kPingIcon = 1026;
inline constexpr int kReportText = 1028;
