// Attributes, file handles, copy, move and delete.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/win32api.h"
#include "support/Scratch.h"

TEST(Attributes, FollowTheWindowsRules) {
  vxtest::DriveC c;
  c.WriteFile("plain.txt", "x");
  c.WriteFile("locked.txt", "x");
  chmod((c.Path() + "/locked.txt").c_str(), 0444);
  c.WriteFile(".hidden", "x");
  c.MakeDir("dir");
  c.MakeDir(".hiddendir");
  const struct {
    const char* path;
    DWORD attributes;
  } cases[] = {
      {"C:\\plain.txt", FILE_ATTRIBUTE_ARCHIVE},
      {"C:\\LOCKED.TXT", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
      {"C:\\.hidden", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN},
      {"C:\\dir", FILE_ATTRIBUTE_DIRECTORY},
      {"C:\\dir\\", FILE_ATTRIBUTE_DIRECTORY},
      {"C:\\.hiddendir", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN},
      {"C:\\", FILE_ATTRIBUTE_DIRECTORY},
  };
  for (const auto& t : cases) EXPECT_EQ(GetFileAttributesA(t.path), t.attributes) << t.path;
  EXPECT_EQ(GetFileAttributesA("C:\\none.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetFileAttributesA("C:\\none\\a.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(FileHandles, WriteReadSeekAndSize) {
  vxtest::DriveC c;
  HANDLE h = CreateFileA("C:\\f.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  ASSERT_TRUE(WriteFile(h, "hello world", 11, &n, nullptr));
  EXPECT_EQ(n, 11u);
  ASSERT_TRUE(CloseHandle(h));
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(c.ReadFile("f.bin"), "hello world");

  h = CreateFileA("C:\\F.BIN", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD high = 1;
  EXPECT_EQ(GetFileSize(h, &high), 11u);
  EXPECT_EQ(high, 0u);
  EXPECT_EQ(SetFilePointer(h, 6, nullptr, FILE_BEGIN), 6u);
  char buf[16] = {};
  ASSERT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));
  EXPECT_EQ(std::string(buf, n), "world");
  ASSERT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));
  EXPECT_EQ(n, 0u);  // end of file is a successful read of nothing
  CloseHandle(h);
}

TEST(FileHandles, ANewProgramCanRun) {
  vxtest::DriveC c;
  for (const char* name : {"C:\\prog.EXE", "C:\\data.bin"}) {
    HANDLE h = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
  }
  struct stat st;
  ASSERT_EQ(stat((c.Path() + "/prog.EXE").c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IXUSR, 0u);
  ASSERT_EQ(stat((c.Path() + "/data.bin").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & S_IXUSR, 0u);
}

TEST(FileHandles, CreationDispositions) {
  vxtest::DriveC c;
  c.WriteFile("old.txt", "old");
  auto open = [](const char* name, DWORD disposition) {
    HANDLE h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition, 0, nullptr);
    const bool ok = h != INVALID_HANDLE_VALUE;
    if (ok) CloseHandle(h);
    return ok;
  };
  EXPECT_FALSE(open("C:\\old.txt", CREATE_NEW));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_FALSE(open("C:\\missing.txt", OPEN_EXISTING));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(open("C:\\nodir\\x.txt", CREATE_ALWAYS));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_TRUE(open("C:\\old.txt", OPEN_ALWAYS));
  EXPECT_EQ(c.ReadFile("old.txt"), "old");
  EXPECT_TRUE(open("C:\\old.txt", TRUNCATE_EXISTING));
  EXPECT_EQ(c.ReadFile("old.txt"), "");
  // A directory opens only with backup semantics, for its identity.
  EXPECT_FALSE(open("C:\\", OPEN_EXISTING));
}

TEST(FileHandles, TellDirectoriesApartByIdentity) {
  vxtest::DriveC c;
  c.MakeDir("a/b");
  ASSERT_EQ(symlink((c.Path() + "/a").c_str(), (c.Path() + "/a/b/up").c_str()), 0);
  auto identity = [](const char* path) {
    HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << path;
    BY_HANDLE_FILE_INFORMATION info{};
    EXPECT_TRUE(GetFileInformationByHandle(h, &info));
    CloseHandle(h);
    EXPECT_EQ(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    return std::make_tuple(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
  };
  EXPECT_EQ(identity("C:\\a"), identity("C:\\a\\b\\up"));
  EXPECT_NE(identity("C:\\a"), identity("C:\\a\\b"));
}

TEST(FileOperations, CopyMoveDeleteAndFolders) {
  vxtest::DriveC c;
  c.WriteFile("a.txt", "A");
  EXPECT_TRUE(CopyFileA("C:\\a.txt", "C:\\b.txt", TRUE));
  EXPECT_EQ(c.ReadFile("b.txt"), "A");
  EXPECT_FALSE(CopyFileA("C:\\a.txt", "C:\\b.txt", TRUE));
  EXPECT_FALSE(CopyFileA("C:\\none.txt", "C:\\c.txt", FALSE));
  EXPECT_FALSE(c.Exists("c.txt"));

  EXPECT_FALSE(MoveFileA("C:\\a.txt", "C:\\b.txt"));  // never replaces
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_TRUE(MoveFileA("C:\\A.TXT", "C:\\c.txt"));
  EXPECT_EQ(c.ReadFile("c.txt"), "A");

  chmod((c.Path() + "/c.txt").c_str(), 0444);
  EXPECT_FALSE(DeleteFileA("C:\\c.txt"));  // read-only, as on Windows
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(DeleteFileA("C:\\b.txt"));
  EXPECT_FALSE(DeleteFileA("C:\\b.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  EXPECT_TRUE(CreateDirectoryA("C:\\new", nullptr));
  EXPECT_FALSE(CreateDirectoryA("C:\\NEW", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(CreateDirectoryA("C:\\x\\y", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(DeleteFileA("C:\\new"));
  EXPECT_TRUE(RemoveDirectoryA("C:\\new"));
  EXPECT_FALSE(c.Exists("new"));
}
