#pragma once
// Records with known values for the tests.
#include <vector>

#include "model/instrument.h"

namespace kv::testsupport {

// The settings of one sensor channel.
struct ChannelSetup {
  Integer type;
  Text name;
  Integer point;
  Single fullScale, desit;
  Text unit;
  Single warn, alarm, stel, twa, autoCalib;
  Integer zero, zeroForce, outputMask;
};

// The single-valued settings outside the channels and tables, in the order
// the record builders list them: each group below is one line of values.
struct OtherSettings {
  Integer alarmMode;
  Integer intervals;
  bool dispId;
  bool dispCalLimit;
  Integer calCheck;
  Integer calLimit;
  Integer lunchBreak;
  Integer alarmSilence;
  Integer confermation;

  Integer logOverWrite;
  Integer lcdBackLight;
  Integer lcdContrast;
  Integer alarmO2;
  Text specType;
  Integer hcMode;
  Integer currHc;
  Integer logaClear;
  Integer lbMode;

  Integer barHoleTime;
  Integer leakBeep;
  Integer autoZero;
  Integer convFc;
  Integer logoDisp;
  Integer aFapDisp;
  Integer uiGasDisp;
  Integer uwDateDisp;

  Text userLogoName;
  Integer meDisp;
  Integer aliveDisp;
  Integer remainTimeDisp;
  Integer usePasswd;
  Text password;
  Integer battery;
  Integer demandZero;

  Integer dispSpanFc;
  Integer irRange;
  Text catOther;
  Text tcOther;
  Integer catOtherEv;
  Long catPpm1st;
  Long catPpm2nd;
  Single catVol1st;
  Single catVol2nd;
};

void FillOtherSettings(clsInstrument& record, const OtherSettings& settings);

// The channels of SampleRecord(), for suites that vary a few of them.
std::vector<ChannelSetup> SampleChannels();

// Stores one setup per sensor channel; false when a setter refused a value
// or the table does not hold one setup for each channel.
bool FillChannels(clsInstrument& record, const std::vector<ChannelSetup>& channels);

// One record with varied values: a catalytic channel with decimal places,
// the fixed sensors, an infrared and a PID channel, an empty slot, special
// codes, names longer than their fields. tests/files/data/golden_record.txt
// holds its 341 record texts, written out by hand from the layouts.
clsInstrument SampleRecord();

// A record with a distinct value in every setting the window's grids show,
// including the edge cases of the value formatting; its change flags are
// cleared. A setter that refused its index leaves a note in the key.
clsInstrument GridRecord();

}  // namespace kv::testsupport
