// Parsing the serial settings text and choosing the adapter's port.
#include <gtest/gtest.h>

#include "link/adapter_choice.h"
#include "link/serial_settings.h"

namespace kv {
namespace {

TEST(SerialSettingsText, Parses) {
  struct Case {
    const char* text;
    std::optional<SerialSettings> expected;
  };
  const std::vector<Case> cases = {
      {"921600,n,8,1", SerialSettings{921600, Parity::None, 8, StopBits::One}},
      {"115200,N,8,1", SerialSettings{115200, Parity::None, 8, StopBits::One}},
      {"9600, e ,7,2", SerialSettings{9600, Parity::Even, 7, StopBits::Two}},
      {"1200,o,5,1.5", SerialSettings{1200, Parity::Odd, 5, StopBits::OneAndHalf}},
      {"300,M,6,1", SerialSettings{300, Parity::Mark, 6, StopBits::One}},
      {"300,s,8,1", SerialSettings{300, Parity::Space, 8, StopBits::One}},
      {"", std::nullopt},
      {"921600,n,8", std::nullopt},
      {"921600,n,8,1,1", std::nullopt},
      {"0,n,8,1", std::nullopt},
      {"-9600,n,8,1", std::nullopt},
      {"99999999999,n,8,1", std::nullopt},
      {"9600x,n,8,1", std::nullopt},
      {"9600,x,8,1", std::nullopt},
      {"9600,n,9,1", std::nullopt},
      {"9600,n,4,1", std::nullopt},
      {"9600,n,8,3", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseSerialSettings(c.text), c.expected);
  }
}

TEST(AdapterPort, OnlyASingleAdapterIsChosen) {
  const SerialPortEntry adapterA{"/dev/ttyUSB0", kAdapterVendorId, kAdapterProductId};
  const SerialPortEntry adapterB{"/dev/ttyUSB1", kAdapterVendorId, kAdapterProductId};
  const SerialPortEntry otherUsb{"/dev/ttyUSB2", kAdapterVendorId, 0xEA61};
  const SerialPortEntry builtIn{"/dev/ttyS0", std::nullopt, std::nullopt};

  const AdapterChoice one = ChooseAdapterPort({builtIn, adapterA, otherUsb});
  EXPECT_EQ(one.port, std::optional<std::string>("/dev/ttyUSB0"));
  EXPECT_FALSE(one.moreThanOne);

  const AdapterChoice two = ChooseAdapterPort({adapterA, builtIn, adapterB});
  EXPECT_FALSE(two.port.has_value());
  EXPECT_TRUE(two.moreThanOne);

  const AdapterChoice none = ChooseAdapterPort({builtIn, otherUsb});
  EXPECT_FALSE(none.port.has_value());
  EXPECT_FALSE(none.moreThanOne);
}

}  // namespace
}  // namespace kv
