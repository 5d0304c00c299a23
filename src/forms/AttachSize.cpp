#include "forms/AttachSize.h"

#include "platform/win32api.h"

namespace vx {

namespace {

constexpr std::uint64_t kMegabyte = 1024 * 1024;

}  // namespace

std::uint64_t MessagePartSize(std::uint64_t Size) {
  const std::uint64_t characters = (Size + 2) / 3 * 4;
  const std::uint64_t lines = (characters + 75) / 76;
  return characters + 2 * lines;
}

bool PartTooLarge(std::uint64_t PartSize, int WarnSizeMB) {
  return WarnSizeMB > 0 && PartSize > static_cast<std::uint64_t>(WarnSizeMB) * kMegabyte;
}

std::string MegabyteText(std::uint64_t Size) {
  // Tenths of a megabyte, rounded half up.
  const std::uint64_t tenths = (Size * 10 + kMegabyte / 2) / kMegabyte;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

bool FileSizeOf(const std::string& Path, std::uint64_t& Size) {
  WIN32_FIND_DATAA data;
  const HANDLE find = FindFirstFileA(Path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  Size = static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  return true;
}

}  // namespace vx
