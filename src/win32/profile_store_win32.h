#pragma once
// The settings file through the platform's profile-file functions.
#include <functional>
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

// Has write write its keys into a copy of the file beside it, which then takes the file's place
// in one step: a write that fails or raises half-way leaves the file as it was, and no copy.
// Raises FileError naming the file when the copy cannot be made or put in place.
void RewriteProfileFile(const std::wstring& path, const std::function<void(ProfileStore&)>& write);

}  // namespace tesnova
