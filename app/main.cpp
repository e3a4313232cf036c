// mirufo: the desktop program.
#include "app/main_form.h"
#include "app/mirufo_application.h"
#include "app/mirufo_program.h"

int main(int argc, char** argv) {
  mirufo::TMirufoApplication application(argc, argv);
  int status = 0;
  {
    mirufo::TMirufoProgram program;
    program.Form().ShowPlaced();
    status = application.exec();
  }
  return status;
}
