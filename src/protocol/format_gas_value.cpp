#include "protocol/format_gas_value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace kv {
namespace {

constexpr std::pair<float, const char*> kSpecialTexts[] = {
    {-101.0f, "-----"},      {65535.0f, "-----"},      {-102.0f, "NORMAL"},
    {-103.0f, "WARNING"},    {-104.0f, "ALARM"},       {-105.0f, "STEL"},
    {-106.0f, "TWA"},        {-107.0f, "OVER"},        {-118.0f, "?????"},
    {65278.0f, "?????"},     {-121.0f, "*****"},       {56797.0f, "*****"},
    {-130.0f, "Fail(Air)"},  {-131.0f, "Fail(Span)"},  {-132.0f, "Fail(Sen.)"},
    {-133.0f, "Fail(Com.)"}, {-134.0f, "Fail(Ram)"},   {-135.0f, "Fail(Rom)"},
    {-136.0f, "Fail(Ext.)"}, {-150.0f, "Fail(ALK.)"},  {-151.0f, "Fail(NIMH)"},
    {-152.0f, "Fail(FLOW)"}, {-153.0f, "Fail(RAM)"},   {-154.0f, "Fail(ROM)"},
    {-155.0f, "Fail(FRAM)"}, {-156.0f, "Fail(FLA.)"},  {-170.0f, "CAL ON"},
    {-171.0f, "CAL OFF"},    {-172.0f, "CLEAR"},       {-173.0f, "LEL"},
    {-174.0f, "ppm"},        {-175.0f, "vol"},         {-176.0f, "ELE ON"},
    {-177.0f, "ELE OFF"},    {-178.0f, "CAT ON"},      {-179.0f, "CAT OFF"},
    {-180.0f, "AIR"},
};

}  // namespace

std::string FormatGasValue(float value, int decimals) {
  for (const auto& [code, text] : kSpecialTexts) {
    if (value == code) return text;
  }
  if (decimals < 0 || decimals > 3) decimals = 0;
  if (!std::isfinite(value)) return "-----";
  static constexpr double kScale[] = {1.0, 10.0, 100.0, 1000.0};
  // Round in decimal steps, halves away from zero, then print exactly that.
  const double rounded = std::round(static_cast<double>(value) * kScale[decimals]) / kScale[decimals];
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, rounded);
  std::string out = text;
  if (out.starts_with("-") && std::strtod(text, nullptr) == 0.0) out.erase(0, 1);  // no "-0"
  return out;
}

}  // namespace kv
