// Handset records for tests, each kind built here once.
#pragma once

#include "catalogue/tanmatsu_record.h"

#include <cstdint>

namespace mirufo::test {

// A small handset record: a DoCoMo JPEG/PNG8 screen of the given size, 16
// colour bits, a 20 KB cache and 9600 bps.
inline TTanmatsuRecord Handset(const char* name, std::uint16_t width = 24,
                               std::uint16_t height = 32, TImageFormat format = ifJPEG) {
  TTanmatsuRecord r;
  r.Carrier = crDoCoMo;
  r.SetName(name);
  r.Format = format;
  r.SupportFormats = {ifJPEG, ifPNG8};
  r.Width = width;
  r.Height = height;
  r.Bit = 16;
  r.Cache = 20;
  r.Bps = 9600;
  return r;
}

// A DoCoMo screen that takes only the one format, with no cache limit.
inline TTanmatsuRecord Screen(const char* name, int width, int height, TImageFormat format = ifJPEG,
                              int bit = 16) {
  TTanmatsuRecord r;
  r.SetName(name);
  r.Format = format;
  r.SupportFormats = TImageFormats{format};
  r.Width = static_cast<std::uint16_t>(width);
  r.Height = static_cast<std::uint16_t>(height);
  r.Bit = static_cast<std::uint8_t>(bit);
  return r;
}

// A handset the user added: a 240 x 320 JPEG screen, 16 colour bits.
inline TTanmatsuRecord UserHandset(const char* name) {
  TTanmatsuRecord r = Screen(name, 240, 320);
  r.Carrier = crUser;
  return r;
}

} // namespace mirufo::test
