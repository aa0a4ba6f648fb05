#include "common/messages.h"

#include <algorithm>
#include <array>

namespace kv {
namespace {

struct CatalogueEntry {
  int id;
  std::string_view text;
};

// Sorted by id for a binary search. The texts stay exactly as users know
// them, misspellings included.
constexpr std::array kCatalogue = std::to_array<CatalogueEntry>({
    {99, "It has already started."},
    {5001, "KORVIN  - Data Logger Management Program"},
    {5255, "Restore Factory Settings ... Finished"},
    {5256, "Restore Factory Settings ... Failed"},
    {5309, "Update Ready?"},
    {5310, "Update"},
    {5311, "Upload Complete."},
    {5312, "Upload"},
    {5371, "Cominucation Ports Error. Restart this program."},
    {5372, "Port Error."},
    {5375, "DEFAULT finished"},
    {5376, "DEFAULT failed"},
    {5405, "KORVIN No Response. Check Port,Cable And Power.~c"},
    {5412, "Connect Sequence KORVIN...(~1)"},
    {5414, "KORVIN Instrument Information Download."},
    {5415, "KORVIN Instrument Information Download Complete."},
    {5416, "KORVIN Instrument Information Download Failed."},
    {5428, "KORVIN Instrument Information Upload."},
    {5429, "KORVIN Upload Complete."},
    {5430, "KORVIN Upload Fail."},
    {5432, "KORVIN ...Connection Successful."},
    {5462, "Cominucation Canceled."},
    {5506, "---Auto Power OFF Start Sequence---.~c"},
    {5507, "---Auto Power OFF Finished---.~c"},
    {5512, "---StartUp Connect Sequence Started---"},
    {5514, "---StartUp Connect Sequence Finished---~c"},
    {5516, "---Calibration Upload Failed---. Date = ~1~c"},
    {5519, "---Instrument Download Finished---. Date = ~1[Time = ~2]~c"},
    {5520, "---Instrument Download Fail Line---"},
    {5535, "---Instrument Upload Start Sequence---. Date = ~1"},
    {5536, "---Instrument Upload Started---. Date = ~1"},
    {5537, "---Instrument Upload Finished---. Date = ~1[Time = ~2]~c"},
    {5538, "---Instrument Upload Failed---. Date = ~1~c"},
    {5541, "Serial Port Standby. Date = ~1"},
    {5542, "Break Signal Found. Date = ~1"},
    {5543, "Flame Error. Date = ~1"},
    {5544, "Port Over Run. Date = ~1"},
    {5545, "Receive Buffer Over Flow. Date = ~1"},
    {5546, "Parity Error. Date = ~1"},
    {5547, "Send Buffer Over Flow. Date = ~1"},
    {5548, "Device Control Memory Error. Date = ~1"},
    {5549, "< : ~1"},
    {5550, "KORVIN ...Conneted. Date = ~1"},
    {5552, "> : ~1"},
    {5556, "--- Data Remove Start Sequence---"},
    {5557, "--- Data Remove Finished---.~c"},
    {5558, "--- Data Remove Failed---.~c"},
    {5560, "--- Current reading download time out.Date= ~1 ---~c"},
    {5569, "--- Dump List Download Started. ---(~1)"},
    {5570, "--- Dump List Download Finished. ---(~1[Time = ~2])~c"},
    {5589, "---Process to Canceled---. Date = ~1"},
    {6001, "Now Uploading"},
    {6002, "Adjusting Zero"},
    {6003, "Adjusting Span Settings."},
    {6004, "Now Downloading"},
    {6005, "Cancel"},
    {6006, "Now Cancel Processing"},
    {6056, "Download"},
    {6057, "Upload"},
    {6058, "Now Writing"},
    {8003, "Manufacture number"},
    {8004, "Alarm Latching"},
    {8005, "Reset"},
    {8006, "Latch"},
    {8007, "Calibration Time Limit(0-365days)"},
    {8008, "Confermation Alart"},
    {8009, "Logger Over Write"},
    {8010, "Calibration Remainder"},
    {8011, "Cal. Past Due Action"},
    {8012, "Confirm to Calibration"},
    {8013, "Must Calibrate"},
    {8014, "Notification Only"},
    {8015, "Language"},
    {8019, "ENGLISH"},
    {8020, "SPANISH"},
    {8021, "FRENCH"},
    {8022, "ITALIAN"},
    {8023, "GERMAN"},
    {8024, "OFF"},
    {8025, "LIGHT ONLY"},
    {8026, "BEEP ONLY"},
    {8027, "LIGHT & BEEP"},
    {8028, "PROMPT TO CLEAR LOG"},
    {8029, "OFF"},
    {8030, "LEAK CHECK ONLY"},
    {8031, "BAR HOLE ONLY"},
    {8032, "LC & BH"},
    {8033, "LEAK CHECK BAR HOLE MODE"},
    {8034, "BAR HOLE MEASURING TIME(sec)"},
    {8035, "AIR ADJUST ON POWER UP"},
    {8036, "RELATIVE RESPONSE"},
    {8037, "PASSWORD PROTECTION"},
    {8038, "SET PASSWORD "},
    {8039, "LEAK BUZZER"},
    {8040, "Save as default instrument settings."},
    {8041, "Auto Range IR Sensor "},
    {8042, "Catalytic Unit"},
    {8043, "OXY Alarm Pattern"},
    {8044, "Lunch Break"},
    {8045, "Alarm Silence"},
    {8046, "LCD Backlight Time(0-255sec)"},
    {8047, "LCD Contrast(0-15)"},
    {8048, "ID Display"},
    {8056, "Improper data found  ( ~1 )"},
    {8075, "Improper file"},
    // Program-added texts (ids 9000 and up) go here, still in id order.
    {9000, "No backup written: all 100 backup names of today are taken in ~1. Move old backups elsewhere."},
    {9001, "No backup written: the file ~1 could not be written (~2)."},
    {9002, "The data folder ~1 cannot be created."},
    {9003, "The configuration file ~1 was damaged (~2): it is kept as ~3 and the default settings are used."},
    {9004, "The configuration file ~1 is damaged (~2) and was left as it is (~3); the default settings are used."},
    {9010, "Note: the channel mapping of ~1 (mask 11) cannot be kept in a maintenance data file; reading the file back stops at its UG line."},
    {9011, "Note: the sensor type ~2 of ~1 cannot be kept in a maintenance data file; the file will read back type ~3."},
    {9020, "Get not started: no backup can be kept in ~1 (~2)."},
    {9021, "The session log ~1 cannot be written (~2); it ends here."},
    {9100, "The file ~1 was read only up to line ~2 (~3); the settings before it are loaded."},
    {9101, "The file ~1 was read only up to line ~2 (~3). Transmit the settings read before it?"},
    {9102, "Nothing has changed: nothing was transmitted."},
    {9103, "The instrument acknowledged before it stopped: ~1"},
    {9104, "The instrument acknowledged none of the settings before it stopped."},
    {9105, "Your edits are kept; Transmit can be repeated."},
    {9106, "Verifying: reading the instrument again."},
    {9107, "Verified: the instrument holds every setting as transmitted."},
    {9108, "Not as transmitted: ~1 was sent as ~2, the instrument holds ~3."},
    {9109, "Verification failed: the instrument could not be read again."},
    {9110, "Backup written: ~1"},
    {9111, "The link to the instrument was lost. The grids show the last settings read or loaded; they are no longer live."},
    {9112, "The grids hold edits that were not transmitted. Discard them and read the instrument?"},
    {9113, "The instrument did not take the power-off command."},
    {9114, "The verify option cannot be kept in ~1 (~2)."},
    {9115, "Nothing was transmitted: the instrument would not take these settings:"},
    {9116, "Nothing was stored: the instrument would not take these settings:"},
    {9117, "Store cancelled: no file was written."},
    {9118, "Export cancelled: no file was written."},
    {9119, "Changed on import: ~1"},
});

constexpr bool IsSortedById() {
  for (std::size_t i = 1; i < kCatalogue.size(); ++i) {
    if (kCatalogue[i - 1].id >= kCatalogue[i].id) {
      return false;
    }
  }
  return true;
}
static_assert(IsSortedById(), "the catalogue must stay sorted by id without duplicates");

}  // namespace

std::string_view MessageText(int id) {
  const auto found = std::lower_bound(
      kCatalogue.begin(), kCatalogue.end(), id,
      [](const CatalogueEntry& entry, int wanted) { return entry.id < wanted; });
  if (found == kCatalogue.end() || found->id != id) {
    return {};
  }
  return found->text;
}

std::string ExpandPlaceholders(std::string_view pattern, const std::vector<std::string>& args) {
  std::string result;
  result.reserve(pattern.size());
  for (std::size_t pos = 0; pos < pattern.size(); ++pos) {
    const char current = pattern[pos];
    if (current != '~') {
      result += current;
      continue;
    }
    if (++pos == pattern.size()) {
      break;  // a lone "~" at the end is dropped
    }
    const char selector = pattern[pos];
    if (selector == 'c' || selector == 'C') {
      result += "\r\n";
    } else if (selector == 't' || selector == 'T') {
      result += '\t';
    } else if (selector >= '1' && selector <= '9') {
      const auto argumentIndex = static_cast<std::size_t>(selector - '1');
      if (argumentIndex < args.size()) {
        result += args[argumentIndex];
      }
    }
    // "~0" and "~" + any other character are removed.
  }
  return result;
}

std::string FormatMessage(int id, const std::vector<std::string>& args) {
  return ExpandPlaceholders(MessageText(id), args);
}

}  // namespace kv
