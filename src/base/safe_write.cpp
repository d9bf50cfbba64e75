#include "base/safe_write.h"

#include <cerrno>
#include <random>
#include <string>

#include "base/error.h"
#include "base/file_system.h"
#include "base/text_file.h"

namespace tesnova {
namespace {

// "name.xxxxxxxxxxxxxxxx.tmp" beside the target: random, so that two writers of one file do
// not share a temporary.
std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
  static std::mt19937_64 random{std::random_device{}()};
  static const char kDigits[] = "0123456789abcdef";
  std::string tag;
  for (std::uint64_t bits = random(); tag.size() < 16; bits >>= 4) tag += kDigits[bits & 15];
  std::filesystem::path temporary = target;
  temporary += "." + tag + ".tmp";
  return temporary;
}

std::FILE* OpenForWriting(const std::filesystem::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"wb");
#else
  return std::fopen(path.c_str(), "wb");
#endif
}

}  // namespace

const char* FileErrorWords(int error) {
  switch (error) {
    case ENOSPC:
      return "ディスクの空き容量が足りません";
    case EACCES:
    case EPERM:
      return "アクセスが拒否されました";
    case EROFS:
      return "書き込みが禁止された場所です";
    case ENOENT:
      return "フォルダがありません";
    case EISDIR:
      return "フォルダです";
    case ENAMETOOLONG:
      return "名前が長すぎます";
    case EFBIG:
      return "ファイルが大きすぎます";
#ifdef EDQUOT
    case EDQUOT:
      return "ディスクの割り当てを超えました";
#endif
    default:
      return "書き込みに失敗しました";
  }
}

FileReplacement::FileReplacement(const std::filesystem::path& target)
    : target_(target), temporary_(TemporaryBeside(target)) {
  onInterrupt_ = std::make_unique<InterruptCleanup>([this] { RemoveTemporary(); });
}

FileReplacement::~FileReplacement() {
  onInterrupt_.reset();
  if (!committed_) RemoveTemporary();
}

void FileReplacement::RemoveTemporary() noexcept {
  std::error_code ignored;
  std::filesystem::remove(temporary_, ignored);
}

void FileReplacement::Commit() {
  std::string problem = FlushFileToDisk(temporary_);
  if (problem.empty()) problem = MoveFileOver(temporary_, target_);
  if (!problem.empty()) {
    RemoveTemporary();
    throw FileError(PathToUtf8(target_), "に書き込めません: " + problem);
  }
  committed_ = true;
}

SafeFileWriter::SafeFileWriter(const std::filesystem::path& target) : replacement_(target) {
  file_ = OpenForWriting(replacement_.Temporary());
  if (!file_) {
    const int error = errno;
    throw FileError(PathToUtf8(target), std::string("を作成できません: ") + FileErrorWords(error));
  }
}

SafeFileWriter::~SafeFileWriter() {
  if (file_) std::fclose(file_);
}

void SafeFileWriter::Fail(int error) {
  std::fclose(file_);
  file_ = nullptr;
  throw FileError(PathToUtf8(replacement_.Target()),
                  std::string("に書き込めません: ") + FileErrorWords(error));
}

void SafeFileWriter::Write(std::string_view bytes) {
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail(errno);
  // A large file goes to the disk while the rest is made, not all at once in Commit.
  unsynced_ += bytes.size();
  if (unsynced_ >= kWriteBackBytes) {
    StartWritingToDisk(file_);
    unsynced_ = 0;
  }
}

void SafeFileWriter::Commit() {
  errno = 0;
  if (std::fflush(file_) != 0) Fail(errno);
  std::FILE* file = file_;
  file_ = nullptr;
  errno = 0;
  if (std::fclose(file) != 0)
    throw FileError(PathToUtf8(replacement_.Target()),
                    std::string("に書き込めません: ") + FileErrorWords(errno));
  replacement_.Commit();
}

void WriteFileSafely(const std::filesystem::path& path, std::string_view bytes) {
  SafeFileWriter writer(path);
  writer.Write(bytes);
  writer.Commit();
}

}  // namespace tesnova
