// Helpers of the LHA library tests: scratch folders, generated data, and
// running lhasa's `lha` as the independent judge of our archives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lha.h"

namespace lhatest {

using Bytes = std::vector<uint8_t>;

// A fresh folder under $TMPDIR (or /tmp), removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Pseudo-random bytes (incompressible), fixed by the seed.
Bytes RandomBytes(size_t size, uint32_t seed);
// Text made of words from a small vocabulary, like prose or source code.
Bytes TextBytes(size_t size, uint32_t seed);
// Blocks of text, random bytes and byte runs in turn, crossing window and
// Huffman block boundaries.
Bytes MixedBytes(size_t size, uint32_t seed);

Bytes ReadFile(const std::string& path);
void WriteFile(const std::string& path, const Bytes& data);

// Output and exit status of a shell command.
struct CommandResult {
  int status = -1;
  std::string output;
};
CommandResult RunCommand(const std::string& command);
// The command quoted for the shell.
std::string Quote(const std::string& s);
// Whether lhasa's `lha` can be run.
bool HaveLhasa();
// Runs `lha t` on an archive. lhasa stops quietly at a header it does not
// accept, so its exit status alone proves little: count the members it
// tested (directories give no line).
struct LhasaTest {
  int status = -1;
  size_t tested = 0;
  std::string output;
};
LhasaTest RunLhasaTest(const std::string& archive);

// A member to write and what the archive should say about it.
struct Member {
  lha::MemberInfo info;
  Bytes data;
};

// Writes an archive file with the members; fails the test on an error.
void WriteArchive(const std::string& path, const std::vector<Member>& members,
                  const lha::WriterOptions& options = {},
                  std::vector<lha::AddResult>* results = nullptr);

// Reads every member with our reader, data included.
struct ReadMember {
  lha::MemberHeader header;
  Bytes data;
  lha::Result extract = lha::Result::Ok;
};
lha::Result ReadArchive(const Bytes& archive, std::vector<ReadMember>* members);

}  // namespace lhatest
