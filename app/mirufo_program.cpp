#include "app/mirufo_program.h"

#include "app/main_form.h"
#include "app/pages/image_form.h"
#include "app/pages/save_sheet_form.h"
#include "app/pages/standby_form.h"
#include "app/pages/tanmatsu_list_form.h"
#include "app/progress_form.h"

namespace mirufo {

TMirufoProgram::TMirufoProgram(TUserFilePaths paths)
    : form_(std::make_unique<TForm1>(std::move(paths))),
      tanmatsuList_(new TTanmatsuListForm(*form_)), image_(new TImageForm(*form_)),
      standby_(new TStandbyForm(*form_)), save_(new TSaveSheetForm(*form_)),
      progress_(new TProgressForm(form_.get())) {
  form_->SetProgressForm(progress_);
}

TMirufoProgram::~TMirufoProgram() {
  form_->SetProgressForm(nullptr);
  delete progress_;
  delete save_;
  delete standby_;
  delete image_;
  delete tanmatsuList_;
  form_.reset();
}

} // namespace mirufo
