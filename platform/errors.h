// The exceptions of the program. Every message is UTF-8 text meant for the
// user; the classes only tell callers what kind of failure happened.
#pragma once

#include "platform/translate.h"

#include <stdexcept>
#include <string>

namespace mirufo {

// Base of every error the program raises on purpose.
class EMirufoError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A text that should be a number is not one.
class EConvertError : public EMirufoError {
public:
  using EMirufoError::EMirufoError;
};

// An index outside a list. The message reads "<class name>: インデックスが範囲を超えています".
class ERangeError : public EMirufoError {
public:
  explicit ERangeError(const std::string& className)
      : EMirufoError(className + Tr(": インデックスが範囲を超えています")) {}
};

// A file could not be opened, read, written or renamed.
class EInOutError : public EMirufoError {
public:
  using EMirufoError::EMirufoError;
};

// A file that was not to replace anything found its name taken.
class EFileExists : public EInOutError {
public:
  using EInOutError::EInOutError;
};

// Not enough memory, or a size beyond what the program will allocate.
class EOutOfResources : public EMirufoError {
public:
  using EMirufoError::EMirufoError;
};

} // namespace mirufo
