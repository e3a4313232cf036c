// A maker with every built-in handset screen as a target, for the tests and
// benchmarks that run the whole catalogue.
#pragma once

#include "catalogue/tanmatsu_list.h"
#include "engine/standby_maker.h"

namespace mirufo::test {

// Sets the source (with the look-at point in its middle) and adds a target
// for every built-in screen, in catalogue order, each with the given fit
// search.
inline void AddBuiltInTargets(TStandbyMaker& maker, const TBitmap& source, bool bestFit = false) {
  TTanmatsuList catalogue;
  catalogue.LoadBuiltIn();
  maker.SetSource(source);
  maker.SetLookAt({source.Width() / 2, source.Height() / 2});
  for (std::size_t i = 0; i < catalogue.Count(); ++i) {
    TStandbySpecification& target = *maker.Items(maker.AddSpecification(catalogue.Get(i)));
    if (!bestFit)
      continue;
    TFormatOptions options = target.FormatOptions();
    options.BestFit = true;
    target.SetFormatOptions(options);
  }
}

} // namespace mirufo::test
