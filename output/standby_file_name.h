// File-name templates: literal text mixed with "$" variables that stand for
// facts about the source picture, the handset screen, the finished image and
// its place in the save list. The default template is "$tn_$sn3"; the save
// run appends the extension element so that every name ends in the format's
// extension.
#pragma once

#include "catalogue/tanmatsu_record.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

class TStandbySpecification;

enum TemplateKind : std::uint8_t {
  tkLiteral = 0,
  tkSourceName = 1,   // $fn
  tkHandsetName = 2,  // $tn
  tkScreenName = 3,   // $ts
  tkScreenWidth = 4,  // $tw
  tkScreenHeight = 5, // $th
  tkImageWidth = 6,   // $mw
  tkImageHeight = 7,  // $mh
  tkColorBits = 8,    // $mb
  tkColorCount = 9,   // $mc
  tkFormatName = 10,  // $mf
  tkExtension = 11,   // $ex
  tkSerial = 12,      // $sn
};

enum TemplateCase : std::uint8_t { tcAsIs = 0, tcUpper = 1, tcLower = 2 };

// One element of a parsed template.
struct TStandbyFileNameParts {
  TemplateKind Kind = tkLiteral;
  std::int32_t Digits = 0; // minimum digits of a numeric value; 0 = no padding
  TemplateCase Case = tcAsIs;
  std::string Text; // the literal text; empty for variables
  friend bool operator==(const TStandbyFileNameParts&, const TStandbyFileNameParts&) = default;
};

// The variable text of a kind ("$fn" ...), "" for tkLiteral.
std::string_view TemplateVariable(TemplateKind kind);

// What a name needs to know of a finished image.
struct TStandbyImageFacts {
  int ImageWidth = 0;
  int ImageHeight = 0;
  int Bits = 0;
  TImageFormat Format = ifJPEG;
};

// A parsed template: literal and variable elements in order; two literal
// elements never stand next to each other.
class TStandbyFileName {
public:
  // Parses any text; never fails. Unknown "$" sequences are literal text.
  static TStandbyFileName Parse(std::string_view templateText);
  // The template as the save run names files with it: the text the user
  // typed, parsed on its own, then the extension element. So every name ends
  // in the extension, also when the text ends in "$" ("abc$" gives
  // "abc$.jpg", where appending "$ex" to the text gave "abc$ex").
  static TStandbyFileName ParseWithExtension(std::string_view typedTemplate);

  std::size_t Count() const { return parts_.size(); }
  // Raises ERangeError outside 0..Count()-1.
  const TStandbyFileNameParts& Items(std::size_t index) const;

  // One file name (no folder) for a save entry.
  std::string Expand(std::string_view sourceFileName, const TTanmatsuRecord& record,
                     std::int64_t serial, const TStandbyImageFacts& image) const;
  // The same for a made target.
  std::string Expand(std::string_view sourceFileName, const TTanmatsuRecord& record,
                     std::int64_t serial, const TStandbySpecification& target) const;

private:
  void AppendLiteral(std::string_view character);
  std::vector<TStandbyFileNameParts> parts_;
};

// Deletes TAB, LF, CR, \ / : , ; * ? " < > | from a name; everything else,
// dots and spaces included, stays.
std::string RemoveForbiddenChars(std::string_view text);

// The source picture's file name without folder and without its last
// extension ("C:\pic\flower.photo.jpg" gives "flower.photo"). Both "\" and
// "/" separate folders.
std::string SourceBaseName(std::string_view sourceFileName);

// A batch of names with their clash flags: a name clashes when another name
// of the batch equals it without regard to letter case (two empty names
// clash too).
struct TNamedBatch {
  std::vector<std::string> Names;
  std::vector<bool> Clashes;
};
TNamedBatch FlagClashes(std::vector<std::string> names);

} // namespace mirufo
