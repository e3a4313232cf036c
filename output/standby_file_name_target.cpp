// Naming a made target: the facts of its finished image.
#include "engine/standby_specification.h"
#include "output/standby_file_name.h"

namespace mirufo {

std::string TStandbyFileName::Expand(std::string_view sourceFileName, const TTanmatsuRecord& record,
                                     std::int64_t serial,
                                     const TStandbySpecification& target) const {
  TStandbyImageFacts facts;
  facts.ImageWidth = target.FinalWidth();
  facts.ImageHeight = target.FinalHeight();
  facts.Bits = target.FormatOptions().Bits;
  facts.Format = target.FormatOptions().Format;
  return Expand(sourceFileName, record, serial, facts);
}

} // namespace mirufo
