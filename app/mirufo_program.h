// One run of the desktop program in the order of start-up and shutdown: the
// main window (which reads the catalogue, the user's handsets and its
// settings), the four pages in page order, then the progress window; at the
// end they go in the reverse order, each writing its settings as it goes,
// the main window last.
#pragma once

#include "output/user_files.h"

#include <memory>

namespace mirufo {

class TForm1;
class TImageForm;
class TProgressForm;
class TSaveSheetForm;
class TStandbyForm;
class TTanmatsuListForm;

class TMirufoProgram {
public:
  explicit TMirufoProgram(TUserFilePaths paths = DefaultUserFilePaths());
  ~TMirufoProgram();
  TMirufoProgram(const TMirufoProgram&) = delete;
  TMirufoProgram& operator=(const TMirufoProgram&) = delete;

  TForm1& Form() const { return *form_; }
  TTanmatsuListForm& TanmatsuListForm() const { return *tanmatsuList_; }
  TImageForm& ImageForm() const { return *image_; }
  TStandbyForm& StandbyForm() const { return *standby_; }
  TSaveSheetForm& SaveSheetForm() const { return *save_; }
  TProgressForm& ProgressForm() const { return *progress_; }

private:
  std::unique_ptr<TForm1> form_;
  // The pages live in the main window's panels; these are views of them.
  TTanmatsuListForm* tanmatsuList_;
  TImageForm* image_;
  TStandbyForm* standby_;
  TSaveSheetForm* save_;
  TProgressForm* progress_;
};

} // namespace mirufo
