// A small user handset record for tests: a DoCoMo JPEG/PNG8 screen of the
// given size, 16 colour bits, a 20 KB cache and 9600 bps.
#pragma once

#include "catalogue/tanmatsu_record.h"

#include <cstdint>

namespace mirufo::test {

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

} // namespace mirufo::test
