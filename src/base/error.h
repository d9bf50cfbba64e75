#pragma once
// Errors raised by the core. Messages are UTF-8 and are shown to the user as they stand.
#include <stdexcept>
#include <string>
#include <utility>

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
  // The file and what is wrong with it ("を作成できません"); the message is the two joined by
  // a space. A window can then show the path and the sentence on lines of their own.
  FileError(std::string file, std::string phrase)
      : Error(file + " " + phrase), file_(std::move(file)), phrase_(std::move(phrase)) {}

  // Empty when the message was given whole.
  const std::string& file() const { return file_; }
  const std::string& phrase() const { return phrase_; }

 private:
  std::string file_;
  std::string phrase_;
};

}  // namespace tesnova
