#pragma once
// The settings file through the platform's profile-file functions.
#include <string>

#include "ports/profile_store.h"

namespace tesnova {

class ProfileFile : public ProfileStore {
 public:
  explicit ProfileFile(std::wstring path) : path_(std::move(path)) {}
  std::string Read(std::string_view section, std::string_view key,
                   std::string_view fallback) const override;
  bool Write(std::string_view section, std::string_view key, std::string_view value) override;

 private:
  std::wstring path_;
};

}  // namespace tesnova
