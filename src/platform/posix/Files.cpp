// Files: attributes, open handles, reading and writing, copy, move, delete.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/Handles.h"
#include "platform/posix/Internal.h"

namespace vxposix::detail {
namespace {

class FileObject : public KernelObject {
 public:
  explicit FileObject(int fd) : fd(fd) {}
  ~FileObject() override { close(fd); }
  int fd;
};

std::string LastComponent(const std::string& posixPath) {
  std::string p = posixPath;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  const size_t slash = p.find_last_of('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

// ERROR_PATH_NOT_FOUND rather than ERROR_FILE_NOT_FOUND when the folder is missing.
void SetNotFoundError(const std::string& posixPath) {
  const std::string parent = posixPath.substr(0, posixPath.find_last_of('/') + 1);
  struct stat st;
  if (!parent.empty() && stat(parent.c_str(), &st) != 0)
    SetLastError(ERROR_PATH_NOT_FOUND);
  else
    SetLastError(ERROR_FILE_NOT_FOUND);
}

bool IsReadOnly(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

}  // namespace

DWORD AttributesOf(const std::string& name, const struct stat& st) {
  DWORD attributes = 0;
  if (S_ISDIR(st.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  else attributes |= FILE_ATTRIBUTE_ARCHIVE;
  if (IsReadOnly(st)) attributes |= FILE_ATTRIBUTE_READONLY;
  if (!name.empty() && name[0] == '.' && name != "." && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes;
}

}  // namespace vxposix::detail

using namespace vxposix::detail;

VXAPI DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
  std::string posix;
  if (!ResolvePath(lpFileName, posix)) return INVALID_FILE_ATTRIBUTES;
  struct stat st;
  if (stat(posix.c_str(), &st) != 0) {
    if (errno == ENOENT) SetNotFoundError(posix);
    else SetLastErrorFromErrno();
    return INVALID_FILE_ATTRIBUTES;
  }
  return AttributesOf(LastComponent(posix), st);
}

VXAPI HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD /*dwShareMode*/,
                                LPSECURITY_ATTRIBUTES, DWORD dwCreationDisposition,
                                DWORD dwFlagsAndAttributes, HANDLE) {
  std::string posix;
  if (!ResolvePath(lpFileName, posix)) return INVALID_HANDLE_VALUE;
  struct stat st;
  const bool exists = stat(posix.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    // A directory opens only for its identity, as with backup semantics.
    if ((dwFlagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS) == 0 ||
        dwCreationDisposition != OPEN_EXISTING) {
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
    const int fd = open(posix.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
      SetLastErrorFromErrno();
      return INVALID_HANDLE_VALUE;
    }
    return AddHandle(std::make_unique<FileObject>(fd));
  }
  int flags = O_CLOEXEC;
  const bool read = (dwDesiredAccess & GENERIC_READ) != 0;
  const bool write = (dwDesiredAccess & GENERIC_WRITE) != 0;
  flags |= (read && write) ? O_RDWR : (write ? O_WRONLY : O_RDONLY);
  switch (dwCreationDisposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_HANDLE_VALUE;
  }
  // A new program (".exe") can run, as it could on Windows.
  const bool program = posix.size() > 4 && EqualsNoCase(posix.substr(posix.size() - 4), ".exe");
  mode_t mode = (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  if (program) mode |= 0111;
  const int fd = open(posix.c_str(), flags, mode);
  if (fd < 0) {
    if (errno == ENOENT) SetNotFoundError(posix);
    else SetLastErrorFromErrno();
    return INVALID_HANDLE_VALUE;
  }
  // Win32 reports an existing file replaced or opened this way.
  SetLastError(exists && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS)
                   ? ERROR_ALREADY_EXISTS
                   : ERROR_SUCCESS);
  return AddHandle(std::make_unique<FileObject>(fd));
}

VXAPI BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                           LPDWORD lpNumberOfBytesRead, void*) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  auto* file = HandleAs<FileObject>(hFile);
  if (file == nullptr) return FALSE;
  DWORD total = 0;
  auto* out = static_cast<char*>(lpBuffer);
  while (total < nNumberOfBytesToRead) {
    const ssize_t n = read(file->fd, out + total, nNumberOfBytesToRead - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      SetLastError(errno == EISDIR ? ERROR_INVALID_FUNCTION : ERROR_READ_FAULT);
      if (lpNumberOfBytesRead) *lpNumberOfBytesRead = total;
      return FALSE;
    }
    if (n == 0) break;
    total += static_cast<DWORD>(n);
  }
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = total;
  return TRUE;
}

VXAPI BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                            LPDWORD lpNumberOfBytesWritten, void*) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  auto* file = HandleAs<FileObject>(hFile);
  if (file == nullptr) return FALSE;
  DWORD total = 0;
  const auto* in = static_cast<const char*>(lpBuffer);
  while (total < nNumberOfBytesToWrite) {
    const ssize_t n = write(file->fd, in + total, nNumberOfBytesToWrite - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == ENOSPC || errno == EDQUOT) SetLastError(ERROR_HANDLE_DISK_FULL);
      else if (errno == EBADF) SetLastError(ERROR_ACCESS_DENIED);
      else SetLastError(ERROR_WRITE_FAULT);
      if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = total;
      return FALSE;
    }
    total += static_cast<DWORD>(n);
  }
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = total;
  return TRUE;
}

VXAPI DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  auto* file = HandleAs<FileObject>(hFile);
  struct stat st;
  if (file == nullptr || fstat(file->fd, &st) != 0) {
    if (file != nullptr) SetLastErrorFromErrno();
    return INVALID_FILE_SIZE;
  }
  const unsigned long long size = static_cast<unsigned long long>(st.st_size);
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

VXAPI DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh,
                                  DWORD dwMoveMethod) {
  auto* file = HandleAs<FileObject>(hFile);
  if (file == nullptr) return INVALID_SET_FILE_POINTER;
  long long distance = lDistanceToMove;
  if (lpDistanceToMoveHigh != nullptr)
    distance = static_cast<long long>((static_cast<unsigned long long>(static_cast<DWORD>(*lpDistanceToMoveHigh)) << 32) |
                                      static_cast<DWORD>(lDistanceToMove));
  const int whence = dwMoveMethod == FILE_BEGIN ? SEEK_SET : dwMoveMethod == FILE_CURRENT ? SEEK_CUR : SEEK_END;
  const off_t pos = lseek(file->fd, static_cast<off_t>(distance), whence);
  if (pos < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (lpDistanceToMoveHigh != nullptr) *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<unsigned long long>(pos) >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(static_cast<unsigned long long>(pos) & 0xFFFFFFFFu);
}

VXAPI BOOL WINAPI CloseHandle(HANDLE hObject) {
  if (!RemoveHandle(hObject)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

VXAPI BOOL WINAPI GetFileInformationByHandle(HANDLE hFile,
                                             LPBY_HANDLE_FILE_INFORMATION lpFileInformation) {
  auto* file = HandleAs<FileObject>(hFile);
  struct stat st;
  if (file == nullptr || lpFileInformation == nullptr || fstat(file->fd, &st) != 0) {
    if (file != nullptr) SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  info.dwFileAttributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if ((st.st_mode & S_IWUSR) == 0) info.dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
  info.ftCreationTime = UnixToFileTime(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
  info.ftLastAccessTime = UnixToFileTime(st.st_atim.tv_sec, st.st_atim.tv_nsec);
  info.ftLastWriteTime = UnixToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  info.dwVolumeSerialNumber = static_cast<DWORD>(st.st_dev);
  const unsigned long long size = static_cast<unsigned long long>(st.st_size);
  info.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  info.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  info.nNumberOfLinks = static_cast<DWORD>(st.st_nlink);
  const unsigned long long ino = static_cast<unsigned long long>(st.st_ino);
  info.nFileIndexHigh = static_cast<DWORD>(ino >> 32);
  info.nFileIndexLow = static_cast<DWORD>(ino & 0xFFFFFFFFu);
  *lpFileInformation = info;
  return TRUE;
}

VXAPI BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
  std::string posix;
  if (!ResolvePath(lpFileName, posix)) return FALSE;
  struct stat st;
  if (lstat(posix.c_str(), &st) != 0) {
    SetNotFoundError(posix);
    return FALSE;
  }
  // Windows refuses to delete a directory or a read-only file this way.
  if (S_ISDIR(st.st_mode) || (!S_ISLNK(st.st_mode) && IsReadOnly(st))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (unlink(posix.c_str()) != 0) {
    SetLastErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}

VXAPI BOOL WINAPI MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName) {
  std::string from, to;
  if (!ResolvePath(lpExistingFileName, from) || !ResolvePath(lpNewFileName, to)) return FALSE;
  struct stat st;
  if (lstat(from.c_str(), &st) != 0) {
    SetNotFoundError(from);
    return FALSE;
  }
  if (lstat(to.c_str(), &st) == 0 && from != to) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return FALSE;
  }
  if (rename(from.c_str(), to.c_str()) != 0) {
    SetLastErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}

VXAPI BOOL WINAPI CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists) {
  std::string from, to;
  if (!ResolvePath(lpExistingFileName, from) || !ResolvePath(lpNewFileName, to)) return FALSE;
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    if (errno == ENOENT) SetNotFoundError(from);
    else SetLastErrorFromErrno();
    return FALSE;
  }
  struct stat st;
  fstat(in, &st);
  const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (bFailIfExists ? O_EXCL : O_TRUNC),
                       st.st_mode & 0777);
  if (out < 0) {
    SetLastErrorFromErrno();
    close(in);
    return FALSE;
  }
  char buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t n = read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = write(out, buffer + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) {
        ok = false;
        break;
      }
      done += w;
    }
    if (!ok) break;
  }
  if (!ok) SetLastErrorFromErrno();
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  futimens(out, times);
  if (close(out) != 0) ok = false;
  close(in);
  if (!ok) unlink(to.c_str());
  return ok ? TRUE : FALSE;
}
