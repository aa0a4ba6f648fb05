#pragma once
// The serial settings text of the port ("921600,n,8,1": baud rate, parity,
// data bits, stop bits), parsed for the port edge.
#include <optional>
#include <string_view>

namespace kv {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct SerialSettings {
  int baudRate = 9600;
  Parity parity = Parity::None;
  int dataBits = 8;
  StopBits stopBits = StopBits::One;

  bool operator==(const SerialSettings&) const = default;
};

// Four comma-separated fields; blanks around a field are ignored, the parity
// letter (n, e, o, m, s) in either case. Data bits 5 to 8, stop bits 1, 1.5 or
// 2, a baud rate above 0. Nothing for any other text.
std::optional<SerialSettings> ParseSerialSettings(std::string_view text);

}  // namespace kv
