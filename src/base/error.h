#pragma once
// Errors raised by the core. Messages are UTF-8 and are shown to the user as they stand.
#include <stdexcept>
#include <string>

namespace tesnova {

// The application's general error kind: a message for the default error box.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// A text that should have been a number ("'%s' は浮動小数点数ではありません").
class ConversionError : public Error {
 public:
  using Error::Error;
};

// A file that could not be opened, read or written; the message names the file.
class FileError : public Error {
 public:
  using Error::Error;
};

}  // namespace tesnova
