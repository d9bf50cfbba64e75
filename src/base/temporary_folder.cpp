#include "base/temporary_folder.h"

#include <random>
#include <string>

#include "base/error.h"
#include "base/text_file.h"

namespace tesnova {

TemporaryFolder::TemporaryFolder(std::string_view prefix) {
  static std::mt19937_64 random{std::random_device{}()};
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) throw FileError("一時フォルダが見つかりません");
  // Only a folder made here is ours to remove: one that stood already is never taken over.
  bool made = false;
  for (int attempt = 0; attempt < 100 && !made; ++attempt) {
    path_ = base / (std::string(prefix) + "-" + std::to_string(random() % 1000000000000ULL));
    made = std::filesystem::create_directory(path_, error);
    if (error) throw FileError(PathToUtf8(path_), "を作成できません");
  }
  if (!made) throw FileError(PathToUtf8(path_), "を作成できません: 同じ名前のフォルダがあります");
  onInterrupt_ = std::make_unique<InterruptCleanup>([this] { Remove(); });
}

TemporaryFolder::~TemporaryFolder() {
  onInterrupt_.reset();
  Remove();
}

void TemporaryFolder::Remove() const noexcept {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace tesnova
