#pragma once
// One row per setting of the record. The record's storage, accessors, change
// flags, reply-side stores, reset (ClearDatas), copy and the settings list
// (AllSettings) are all generated from these rows, so adding a setting is
// adding one row.
//
// Global settings with a change flag of their own:
//   X(Type, Name, Flag, Initial, OnClear, Caption)
//   Initial  the value of a new record, and after ClearDatas when OnClear is Reset
//   OnClear  Reset or Keep (ClearDatas leaves the value as it was)
//   Caption  the name the main window shows for the setting
#define KV_GLOBAL_SETTINGS(X)                                                                   \
  X(Text, SpecType, Change_SpecType, "0", Reset, "Language")                                    \
  X(Integer, AlarmMode, Change_AlarmMode, 0, Keep, "Alarm Latching")                            \
  X(bool, DispCalLimit, Change_DispCalLimit, true, Reset, "Calibration Remainder")              \
  X(Integer, CalLimit, Change_CalLimit, 90, Reset, "Calibration Time Limit(0-365days)")         \
  X(Integer, CalCheck, Change_CalCheck, 2, Reset, "Cal. Past Due Action")                       \
  X(bool, DispID, Change_DispID, false, Keep, "ID Display")                                     \
  X(Integer, Confermation, Change_Confermation, 0, Keep, "Confermation Alart")                  \
  X(Integer, LogOverWrite, Change_LogOverWrite, 1, Reset, "Logger Over Write")                  \
  X(Integer, LunchBreak, Change_LunchBreak, 0, Keep, "Lunch Break")                             \
  X(Integer, AlarmSilence, Change_AlarmSilence, 1, Reset, "Alarm Silence")                      \
  X(Integer, LcdBackLight, Change_LcdBackLight, 0, Keep, "LCD Backlight Time(0-255sec)")        \
  X(Integer, LcdContrast, Change_LcdContrast, 8, Reset, "LCD Contrast(0-15)")                   \
  X(Integer, HcMode, Change_HCMode, 3, Reset, "Catalytic Unit")                                 \
  X(Integer, CurrHc, Change_CurrHc, 0, Reset, "Catalytic Unit in Use")                          \
  X(Integer, AlarmO2, Change_AlarmO2, 0, Reset, "OXY Alarm Pattern")                            \
  X(Integer, LogaClear, Change_logaClear, 1, Reset, "PROMPT TO CLEAR LOG")                      \
  X(Integer, LBMode, Change_LBmode, 0, Reset, "LEAK CHECK BAR HOLE MODE")                       \
  X(Integer, BarHoleTime, Change_BarHoleTime, 0, Keep, "BAR HOLE MEASURING TIME(sec)")          \
  X(Integer, LeakBeep, Change_LeakBeep, 1, Reset, "LEAK BUZZER")                                \
  X(Integer, IRRange, Change_IRRange, 0, Keep, "Auto Range IR Sensor ")                         \
  X(Integer, UsePasswd, Change_UsePasswd, 0, Keep, "PASSWORD PROTECTION")                       \
  X(Text, Password, Change_Password, "8462", Reset, "SET PASSWORD ")                            \
  X(Integer, AutoZero, Change_AutoZero, 0, Keep, "AIR ADJUST ON POWER UP")                      \
  X(Integer, ConvFc, Change_ConvFc, 0, Keep, "RELATIVE RESPONSE")                               \
  X(Integer, LogoDisp, Change_LogoDisp, 1, Reset, "Logo Display")                               \
  X(Integer, MEDisp, Change_MEDisp, 1, Reset, "Methane Elimination Display")                    \
  X(Integer, AliveDisp, Change_AliveDisp, 0, Reset, "Alive Display")                            \
  X(Integer, RemainTimeDisp, Change_RemainTimeDisp, 1, Reset, "Remaining Time Display")         \
  X(Integer, AFapDisp, Change_AFapDisp, 1, Reset, "AF Display")                                 \
  X(Integer, UIgasDisp, Change_UIgasDisp, 1, Reset, "Gas Display")                              \
  X(Integer, UWdateDisp, Change_UWdateDisp, 1, Reset, "Date Display")                           \
  X(Text, BNuserLogoName, Change_BNuserLogoName, kNoLogoName, Reset, "User Logo Name")          \
  X(Integer, Battery, Change_Battery, 0, Keep, "Battery")                                       \
  X(Integer, DemandZero, Change_DemandZero, 1, Reset, "Demand Zero")                            \
  X(Integer, DispSpanFc, Change_DispSpanFc, 0, Keep, "Span Factor Display")                     \
  X(Text, CATOther, Change_CATOther, "---", Reset, "Other")                                     \
  X(Text, TCOther, Change_TCOther, "---", Reset, "TC Other")                                    \
  X(Integer, CATOtherEV, Change_CATOtherEV, 0, Reset, "Other EV")                               \
  X(Long, CATppm1st, Change_CATppm1, 0, Reset, "CAT ppm 1st")                                   \
  X(Long, CATppm2nd, Change_CATppm2, 0, Reset, "CAT ppm 2nd")                                   \
  X(Single, CATvol1st, Change_CATvol1, 0, Reset, "CAT vol% 1st")                                \
  X(Single, CATvol2nd, Change_CATvol2, 0, Reset, "CAT vol% 2nd")                                \
  X(Integer, LN_, Change_LN_, 0, Reset, "Count")

// Global change flags that belong to no single row above.
#define KV_OTHER_GLOBAL_FLAGS(X)                                                                \
  X(Change_UserID) X(Change_StationID) X(Change_SerialNo) X(Change_DummySerial)                 \
  X(Change_Interval) X(Change_GasType) X(Change_SubBoard)

// Gas channel settings with a change flag of their own:
//   X(Type, Name, Flag, OnSubBoard, Caption)
//   OnSubBoard  setting channel 4, 5 or 6 also raises Change_SubBoard
//   Caption     "%s" stands for the channel's gas name
#define KV_CHANNEL_SETTINGS(X)                                                                  \
  X(Text, GasName, Change_GasName, true, "%s name")                                             \
  X(Single, GasDesit, Change_GasDesit, true, "%s resolution")                                   \
  X(Integer, GasPoint, Change_GasPoint, true, "%s decimal places")                              \
  X(Text, GasUnit, Change_GasUnit, true, "%s unit")                                             \
  X(Single, GasFullScale, Change_GasFullScale, true, "%s full scale")                           \
  X(bool, GasEnabled, Change_GasEnable, true, "%s enabled")                                     \
  X(Single, Warning, Change_Warn, true, "%s warning level")                                     \
  X(Single, Alarm, Change_Alarm, true, "%s alarm level")                                        \
  X(Single, Stel, Change_Stel, true, "%s STEL level")                                           \
  X(Single, Twa, Change_Twa, true, "%s TWA level")                                              \
  X(Single, AutoCalib, Change_AutoCal, true, "%s span value")                                   \
  X(Integer, Zero, Change_Zero, true, "%s zero follower")                                       \
  X(Integer, ZeroForce, Change_ZeroForce, true, "%s zero suppress")                             \
  X(Single, Ratio, Change_Ratio, true, "%s ratio")                                              \
  X(Integer, PIDSmallRange, Change_PIDSmallRange, false, "%s PID small range")                  \
  X(Integer, AltRng, Change_AltRng, false, "%s alternate range")

// Channel change flags without a setting of their own.
#define KV_OTHER_CHANNEL_FLAGS(X) X(Change_OverScale)

// Channel values without a change flag: X(Type, Name, Caption)
#define KV_CHANNEL_VALUES(X)                                                                    \
  X(Date, CalibDate, "%s calibration date")                                                     \
  X(Single, CalibBefore, "%s reading before calibration")                                       \
  X(Single, CalibAfter, "%s reading after calibration")                                         \
  X(Integer, AutoRange, "%s auto range")                                                        \
  X(Single, changeDenst, "%s range switching level")                                            \
  X(Single, IR_Hi_FullScale, "%s high range full scale")                                        \
  X(Integer, IR_Hi_Point, "%s high range decimal places")                                       \
  X(Text, IR_Hi_Unit, "%s high range unit")                                                     \
  X(Single, LogMax, "%s logged maximum")                                                        \
  X(Single, LogMin, "%s logged minimum")                                                        \
  X(Single, LogAvr, "%s logged average")                                                        \
  X(Date, LogMaxDate, "%s time of maximum")                                                     \
  X(Date, LogMinDate, "%s time of minimum")

// Table fields: X(Type, Name, Table, Member, Size, Flag, Caption); "%d" is
// the 1-based entry. Fields of one table share its change flag.
#define KV_TABLE_FIELDS(X)                                                                      \
  X(Text, XS_, xs_, , kXS, Change_XS_, "Station %d")                                            \
  X(Text, XZ_, xz_, , kXZ, Change_XZ_, "User %d")                                               \
  X(Integer, XV_, xv_, , kXV, Change_XV_, "Selection %d")                                       \
  X(Integer, UG_, ug_, , kUG, Change_UG_, "Output mapping %d")                                  \
  X(Long, FL_, fl_, , kFL, Change_FL_, "Catalytic constant %d")                                 \
  X(Text, G1_, g1_, , kG1, Change_G1_, "Long name %d")                                          \
  X(Text, LO_longname, lo_, .longname, kLO, Change_LO_, "User conversion %d long name")         \
  X(Text, LO_name, lo_, .name, kLO, Change_LO_, "User conversion %d name")                      \
  X(Integer, LO_fc, lo_, .fc, kLO, Change_LO_, "User conversion %d factor")                     \
  X(Text, LB_longname, lb_, .longname, kLB, Change_LB_, "Conversion %d long name")              \
  X(Text, LB_name, lb_, .name, kLB, Change_LB_, "Conversion %d name")                           \
  X(Integer, LB_fc, lb_, .fc, kLB, Change_LB_, "Conversion %d factor")                          \
  X(Single, LA_warn, la_, .warn, kLA, Change_LA_, "Conversion levels %d 1st")                   \
  X(Single, LA_alarm, la_, .alarm, kLA, Change_LA_, "Conversion levels %d 2nd")                 \
  X(Single, LA_ratio, la_, .ratio, kLA, Change_LA_, "Conversion levels %d ratio")               \
  X(Single, LA_volt, la_, .volt, kLA, Change_LA_, "Conversion levels %d volt")                  \
  X(Integer, HH_, hh_, , kHH, Change_HH_, "EV %d")                                              \
  X(Integer, HE_, he_, , kHE, Change_HE_, "D/A %d")                                             \
  X(Integer, RP_, rp_, , kRP, Change_RP_, "CAT D/A %d")                                         \
  X(Integer, SI_, si_, , kSI, Change_SI_, "ME setting %d")

// Tables without change flags: X(Type, Name, Table, Size, Caption)
#define KV_PLAIN_TABLES(X)                                                                      \
  X(Integer, SZ_, sz_, kSZ, "Zero calibration value %d")                                        \
  X(Integer, S1_, s1_, kS1, "Span calibration value %d")                                        \
  X(Long, AnalogValue, analog_, kAnalog, "Analog value %d")                                     \
  X(Single, LimitValue, limit_, kLimit, "Live reading %d")

// PID range fields: X(Type, Name, Caption), as the PID grid's column captions.
#define KV_PID_FIELDS(X)                                                                        \
  X(Single, PIDFullScale, "FullScale") X(Integer, PIDPoint, "Point") X(Text, PIDUnit, "Unit")   \
  X(Single, PIDDigit, "Digit") X(Single, PIDWarn, "1st") X(Single, PIDAlarm, "2nd")             \
  X(Single, PIDStel, "STEL") X(Single, PIDTwa, "TWA") X(Single, PIDAutoCal, "AutoCal")          \
  X(Single, PIDFactor, "Factor")
