#pragma once
// An initialization file read and written key by key ([Section] and Key=Value lines).
#include <string>
#include <string_view>

namespace tesnova {

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;

  // The value of the key; fallback when the file or the key is missing. A key with nothing
  // after its equals sign gives the empty text. Section and key match without regard to case.
  virtual std::string Read(std::string_view section, std::string_view key,
                           std::string_view fallback) const = 0;

  // Writes the key at once; false when the platform refused the write.
  virtual bool Write(std::string_view section, std::string_view key, std::string_view value) = 0;
};

}  // namespace tesnova
