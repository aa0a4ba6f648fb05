#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv {

// The text of catalogue entry `id`; empty for an id the catalogue does not hold.
std::string_view MessageText(int id);

// Catalogue text `id` with its placeholders replaced:
//   "~1".."~9"  argument n (args[n - 1]); empty when not supplied
//   "~0"        empty
//   "~c" "~C"   CR LF
//   "~t" "~T"   tab
//   "~" + any other character: both removed; a lone "~" at the very end is dropped.
// Arguments are inserted as they are and never rescanned, so an argument that
// holds "~1" appears literally in the result.
std::string FormatMessage(int id, const std::vector<std::string>& args = {});

// The placeholder rules of FormatMessage applied to any text (for texts that
// do not come from the catalogue).
std::string ExpandPlaceholders(std::string_view pattern, const std::vector<std::string>& args);

// Ids of the catalogue texts, by what the program uses them for.
namespace msg {
inline constexpr int kAlreadyStarted = 99;  // "It has already started."
inline constexpr int kProgramTitle = 5001;  // "KORVIN  - Data Logger Management Program"
inline constexpr int kFactoryRestoreFinished = 5255;  // "Restore Factory Settings ... Finished"
inline constexpr int kFactoryRestoreFailed = 5256;  // "Restore Factory Settings ... Failed"
inline constexpr int kUpdateReady = 5309;  // "Update Ready?"
inline constexpr int kUpdateTitle = 5310;  // "Update"
inline constexpr int kUploadCompleteBox = 5311;  // "Upload Complete."
inline constexpr int kUploadTitle = 5312;  // "Upload"
inline constexpr int kPortsErrorRestart = 5371;  // "Cominucation Ports Error. Restart this program."
inline constexpr int kPortError = 5372;  // "Port Error."
inline constexpr int kDefaultFinished = 5375;  // "DEFAULT finished"
inline constexpr int kDefaultFailed = 5376;  // "DEFAULT failed"
inline constexpr int kNoResponse = 5405;  // "KORVIN No Response. Check Port,Cable And Power.~c"
inline constexpr int kConnectRetry = 5412;  // "Connect Sequence KORVIN...(~1)"
inline constexpr int kDownloadStarted = 5414;  // "KORVIN Instrument Information Download."
inline constexpr int kDownloadComplete = 5415;  // "KORVIN Instrument Information Download Complete."
inline constexpr int kDownloadFailed = 5416;  // "KORVIN Instrument Information Download Failed."
inline constexpr int kUploadStarted = 5428;  // "KORVIN Instrument Information Upload."
inline constexpr int kUploadComplete = 5429;  // "KORVIN Upload Complete."
inline constexpr int kUploadFail = 5430;  // "KORVIN Upload Fail."
inline constexpr int kConnectionSuccessful = 5432;  // "KORVIN ...Connection Successful."
inline constexpr int kCommunicationCanceled = 5462;  // "Cominucation Canceled."
inline constexpr int kPowerOffStartLog = 5506;  // "---Auto Power OFF Start Sequence---.~c"
inline constexpr int kPowerOffFinishedLog = 5507;  // "---Auto Power OFF Finished---.~c"
inline constexpr int kConnectSequenceStartedLog = 5512;  // "---StartUp Connect Sequence Started---"
inline constexpr int kConnectSequenceFinishedLog = 5514;  // "---StartUp Connect Sequence Finished---~c"
inline constexpr int kCalibrationUploadFailedLog = 5516;  // "---Calibration Upload Failed---. Date = ~1~c"
inline constexpr int kDownloadFinishedLog = 5519;  // "---Instrument Download Finished---. Date = ~1[Time = ~2]~c"
inline constexpr int kDownloadFailLineLog = 5520;  // "---Instrument Download Fail Line---"
inline constexpr int kUploadStartSequenceLog = 5535;  // "---Instrument Upload Start Sequence---. Date = ~1"
inline constexpr int kUploadStartedLog = 5536;  // "---Instrument Upload Started---. Date = ~1"
inline constexpr int kUploadFinishedLog = 5537;  // "---Instrument Upload Finished---. Date = ~1[Time = ~2]~c"
inline constexpr int kUploadFailedLog = 5538;  // "---Instrument Upload Failed---. Date = ~1~c"
inline constexpr int kSerialPortStandbyLog = 5541;  // "Serial Port Standby. Date = ~1"
inline constexpr int kBreakSignalLog = 5542;  // "Break Signal Found. Date = ~1"
inline constexpr int kFramingErrorLog = 5543;  // "Flame Error. Date = ~1"
inline constexpr int kPortOverrunLog = 5544;  // "Port Over Run. Date = ~1"
inline constexpr int kReceiveOverflowLog = 5545;  // "Receive Buffer Over Flow. Date = ~1"
inline constexpr int kParityErrorLog = 5546;  // "Parity Error. Date = ~1"
inline constexpr int kSendOverflowLog = 5547;  // "Send Buffer Over Flow. Date = ~1"
inline constexpr int kDeviceControlMemoryErrorLog = 5548;  // "Device Control Memory Error. Date = ~1"
inline constexpr int kReceivedLineLog = 5549;  // "< : ~1"
inline constexpr int kLinkConnectedLog = 5550;  // "KORVIN ...Conneted. Date = ~1"
inline constexpr int kSentLineLog = 5552;  // "> : ~1"
inline constexpr int kDataRemoveStartLog = 5556;  // "--- Data Remove Start Sequence---"
inline constexpr int kDataRemoveFinishedLog = 5557;  // "--- Data Remove Finished---.~c"
inline constexpr int kDataRemoveFailedLog = 5558;  // "--- Data Remove Failed---.~c"
inline constexpr int kCurrentReadingTimeoutLog = 5560;  // "--- Current reading download time out.Date= ~1 ---~c"
inline constexpr int kDumpListStartedLog = 5569;  // "--- Dump List Download Started. ---(~1)"
inline constexpr int kDumpListFinishedLog = 5570;  // "--- Dump List Download Finished. ---(~1[Time = ~2])~c"
inline constexpr int kProcessCanceledLog = 5589;  // "---Process to Canceled---. Date = ~1"
inline constexpr int kNowUploading = 6001;  // "Now Uploading"
inline constexpr int kAdjustingZero = 6002;  // "Adjusting Zero"
inline constexpr int kAdjustingSpan = 6003;  // "Adjusting Span Settings."
inline constexpr int kNowDownloading = 6004;  // "Now Downloading"
inline constexpr int kCancelCaption = 6005;  // "Cancel"
inline constexpr int kNowCancelProcessing = 6006;  // "Now Cancel Processing"
inline constexpr int kDownloadCaption = 6056;  // "Download"
inline constexpr int kUploadCaption = 6057;  // "Upload"
inline constexpr int kNowWriting = 6058;  // "Now Writing"
inline constexpr int kRowManufactureNumber = 8003;  // "Manufacture number"
inline constexpr int kRowAlarmLatching = 8004;  // "Alarm Latching"
inline constexpr int kChoiceReset = 8005;  // "Reset"
inline constexpr int kChoiceLatch = 8006;  // "Latch"
inline constexpr int kRowCalibrationTimeLimit = 8007;  // "Calibration Time Limit(0-365days)"
inline constexpr int kRowConfirmationAlert = 8008;  // "Confermation Alart"
inline constexpr int kRowLoggerOverwrite = 8009;  // "Logger Over Write"
inline constexpr int kRowCalibrationRemainder = 8010;  // "Calibration Remainder"
inline constexpr int kRowCalPastDueAction = 8011;  // "Cal. Past Due Action"
inline constexpr int kChoiceConfirmToCalibration = 8012;  // "Confirm to Calibration"
inline constexpr int kChoiceMustCalibrate = 8013;  // "Must Calibrate"
inline constexpr int kChoiceNotificationOnly = 8014;  // "Notification Only"
inline constexpr int kRowLanguage = 8015;  // "Language"
inline constexpr int kChoiceEnglish = 8019;  // "ENGLISH"
inline constexpr int kChoiceSpanish = 8020;  // "SPANISH"
inline constexpr int kChoiceFrench = 8021;  // "FRENCH"
inline constexpr int kChoiceItalian = 8022;  // "ITALIAN"
inline constexpr int kChoiceGerman = 8023;  // "GERMAN"
inline constexpr int kChoiceAlertOff = 8024;  // "OFF"
inline constexpr int kChoiceLightOnly = 8025;  // "LIGHT ONLY"
inline constexpr int kChoiceBeepOnly = 8026;  // "BEEP ONLY"
inline constexpr int kChoiceLightAndBeep = 8027;  // "LIGHT & BEEP"
inline constexpr int kChoicePromptToClearLog = 8028;  // "PROMPT TO CLEAR LOG"
inline constexpr int kChoiceLeakModeOff = 8029;  // "OFF"
inline constexpr int kChoiceLeakCheckOnly = 8030;  // "LEAK CHECK ONLY"
inline constexpr int kChoiceBarHoleOnly = 8031;  // "BAR HOLE ONLY"
inline constexpr int kChoiceLeakCheckAndBarHole = 8032;  // "LC & BH"
inline constexpr int kRowLeakCheckBarHoleMode = 8033;  // "LEAK CHECK BAR HOLE MODE"
inline constexpr int kRowBarHoleMeasuringTime = 8034;  // "BAR HOLE MEASURING TIME(sec)"
inline constexpr int kRowAirAdjustOnPowerUp = 8035;  // "AIR ADJUST ON POWER UP"
inline constexpr int kRowRelativeResponse = 8036;  // "RELATIVE RESPONSE"
inline constexpr int kRowPasswordProtection = 8037;  // "PASSWORD PROTECTION"
inline constexpr int kRowSetPassword = 8038;  // "SET PASSWORD "
inline constexpr int kRowLeakBuzzer = 8039;  // "LEAK BUZZER"
inline constexpr int kSaveAsDefault = 8040;  // "Save as default instrument settings."
inline constexpr int kRowAutoRangeIrSensor = 8041;  // "Auto Range IR Sensor "
inline constexpr int kRowCatalyticUnit = 8042;  // "Catalytic Unit"
inline constexpr int kRowOxyAlarmPattern = 8043;  // "OXY Alarm Pattern"
inline constexpr int kRowLunchBreak = 8044;  // "Lunch Break"
inline constexpr int kRowAlarmSilence = 8045;  // "Alarm Silence"
inline constexpr int kRowLcdBacklightTime = 8046;  // "LCD Backlight Time(0-255sec)"
inline constexpr int kRowLcdContrast = 8047;  // "LCD Contrast(0-15)"
inline constexpr int kRowIdDisplay = 8048;  // "ID Display"
inline constexpr int kImproperData = 8056;  // "Improper data found  ( ~1 )"
inline constexpr int kImproperFile = 8075;  // "Improper file"
// Texts added beyond the established catalogue take ids from 9000 up
// (9000..9009 belong to the main window, see app/app_messages.h).
inline constexpr int kMappingNotFileable = 9010;    // a UG mask of 11 in a maintenance file
inline constexpr int kGasTypeNotFileable = 9011;    // a GasType of 10..15 in a maintenance file
}  // namespace msg

}  // namespace kv
