#pragma once
// Write-line builders: the command text (code, ",W," and every field followed
// by a comma, no framing) that gives the instrument one setting group. The
// write transaction sends these lines and the maintenance data file stores the
// very same texts, so each code is laid out here and nowhere else.
//
// Where file and wire differ, the difference has its own name:
// - US: the file always writes "@" for channel 1 (WriteTarget::File);
// - GJ: only the file carries it (FileLineGJ); the instrument never takes it;
// - HC, IN, HN and the service lines are sent but never filed.
//
// Texts are padded and cut to the widths the file gives them (16 for the
// station and user lists, 20 for long names, 3 for short names). Per-entry
// builders take a table index the caller keeps within the table.
#include <span>
#include <string>
#include <string_view>

#include "common/datetime.h"
#include "model/instrument.h"

namespace kv {

enum class WriteTarget { Wire, File };

// ---- station and user lists, identity ---------------------------------------
std::string WriteLineXZ(const clsInstrument& r, int entry);  // entry 0..31, sent as entry + 1
std::string WriteLineXS(const clsInstrument& r, int entry);  // entry 0..127, sent as entry + 1
std::string WriteLineXV(const clsInstrument& r);
std::string WriteLineIN(const clsInstrument& r);
std::string WriteLineHN(const clsInstrument& r);

// ---- global settings -----------------------------------------------------------
std::string WriteLineAP(const clsInstrument& r);
std::string WriteLineXP(const clsInstrument& r);
std::string WriteLineXI(const clsInstrument& r);
std::string WriteLineSD(const clsInstrument& r);
std::string WriteLineSM(const clsInstrument& r);
std::string WriteLineSC(const clsInstrument& r);
std::string WriteLineXL(const clsInstrument& r);
std::string WriteLineXA(const clsInstrument& r);
std::string WriteLineXB(const clsInstrument& r);
std::string WriteLineXW(const clsInstrument& r);
std::string WriteLineXT(const clsInstrument& r);
std::string WriteLineUL(const clsInstrument& r);
std::string WriteLineAT(const clsInstrument& r);
std::string WriteLineUJ(const clsInstrument& r);
std::string WriteLineLP(const clsInstrument& r);
std::string WriteLineXC(const clsInstrument& r);
std::string WriteLineWB(const clsInstrument& r);
std::string WriteLineHH(const clsInstrument& r);
std::string WriteLineHE(const clsInstrument& r);
std::string WriteLineSJ(const clsInstrument& r);
std::string WriteLineLF(const clsInstrument& r);
std::string WriteLineUV(const clsInstrument& r);
std::string WriteLineAF(const clsInstrument& r);
std::string WriteLineUI(const clsInstrument& r);
std::string WriteLineUW(const clsInstrument& r);
std::string WriteLineBN(const clsInstrument& r);
std::string WriteLineXE(const clsInstrument& r);
std::string WriteLineXD(const clsInstrument& r);
std::string WriteLineAL(const clsInstrument& r);
std::string WriteLineAQ(const clsInstrument& r);
std::string WriteLineHB(const clsInstrument& r);
std::string WriteLineSG(const clsInstrument& r);

// ---- gas channels ------------------------------------------------------------------
std::string WriteLineGN(const clsInstrument& r);
std::string WriteLineGP(const clsInstrument& r);
std::string WriteLineGF(const clsInstrument& r);
std::string WriteLineGD(const clsInstrument& r);
std::string WriteLineGU(const clsInstrument& r);
std::string FileLineGJ(const clsInstrument& r);
std::string WriteLineUG(const clsInstrument& r);
std::string WriteLineUS(const clsInstrument& r, WriteTarget target);
std::string WriteLineIT(const clsInstrument& r);
std::string WriteLineA1(const clsInstrument& r);
std::string WriteLineA2(const clsInstrument& r);
std::string WriteLineAS(const clsInstrument& r);
std::string WriteLineAW(const clsInstrument& r);
std::string WriteLineSA(const clsInstrument& r);
std::string WriteLineUZ(const clsInstrument& r);
std::string WriteLineLR(const clsInstrument& r);
std::string WriteLineFF(const clsInstrument& r);
std::string WriteLineFL(const clsInstrument& r);
std::string WriteLineFH(const clsInstrument& r);
std::string WriteLineAC(const clsInstrument& r);
std::string WriteLineG1(const clsInstrument& r, int index);  // 0..5

// ---- conversion tables and PID table ---------------------------------------------
std::string WriteLineLO(const clsInstrument& r, int index);  // 0..4
std::string WriteLineLN(const clsInstrument& r);
std::string WriteLineLB(const clsInstrument& r, int index);  // 0..29
std::string WriteLineLA(const clsInstrument& r, int index);  // 0..34
std::string WriteLineLS(const clsInstrument& r, int entry);  // 0..16
std::string WriteLineLI(const clsInstrument& r, int entry);  // range 1, "Low Range"
std::string WriteLineLJ(const clsInstrument& r, int entry);  // range 0, "High Range"

// ---- service lines: sent, never filed ------------------------------------------
std::string WriteLineHC(const DateTime& now);        // "HC,W,YYMMDDhhnnss"
std::string WriteLineRO();                           // power off
std::string WriteLineET();                           // sub-board settings take effect
std::string WriteLineUD();                           // save as default settings
std::string EndLineXC();                             // start erasing the data logger
std::string WriteLineUP();                           // restore factory settings
std::string WriteLineUX(int kind);                   // load default settings of a kind
std::string WriteLineBP(bool pumpOn);
std::string WriteLineSZ();                           // start zero calibration
std::string WriteLineS2(std::string_view data);      // start span calibration
std::string CompletionLineUX();
std::string CompletionLineSZ();
std::string CompletionLineS2();
std::string ReadLineBP();                            // busy poll
std::string ReadLineDN();                            // live readings
std::string ReadLineSO();                            // latest calibration history

// ---- the maintenance data file's record order ---------------------------------------
struct FileRecordRow {
  std::string_view code;
  int lines;
  // Builds line `line` (0..lines-1) of this code; single-line codes ignore it.
  std::string (*build)(const clsInstrument& r, int line);
};

inline constexpr int kFileRecordCodes = 63;
inline constexpr int kFileRecordLines = 341;

// The 63 codes of the file in file order, with their line counts.
std::span<const FileRecordRow> FileRecordTable();

}  // namespace kv
