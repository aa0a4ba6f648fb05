#pragma once
// The instrument's command tables: one reply builder per read code, one
// handler per write, control or completion command.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sim/sim_device.h"

namespace kv::sim {

// Builds the reply text to "XX,R," + argument; nothing when the instrument
// does not know the argument (it then answers NAK).
using ReadBuilder = std::optional<std::string> (*)(SimDevice& device, std::string_view argument);
struct ReadRow {
  std::string_view code;
  ReadBuilder build;
};
std::span<const ReadRow> DeviceReadRows();   // identity, global settings, service reads
std::span<const ReadRow> ChannelReadRows();  // gas channels, tables, PID table
ReadBuilder FindReadBuilder(std::string_view code);

// Handles a command with another access letter. `commandText` is the whole
// request text, `data` what follows its head. Returns the reply text.
using CommandHandler = std::string (*)(SimDevice& device, std::string_view commandText,
                                       std::string_view data);
struct CommandRow {
  std::string_view code;
  char access;
  CommandHandler handle;
};
std::span<const CommandRow> SettingWriteRows();  // writes that change a setting
std::span<const CommandRow> ServiceRows();       // control, completion and clock commands
CommandHandler FindCommandHandler(std::string_view code, char access);

}  // namespace kv::sim
