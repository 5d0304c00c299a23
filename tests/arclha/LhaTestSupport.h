// Helpers of the LHA library tests: scratch folders, generated data, and
// running lhasa's `lha` as the independent judge of our archives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lh5_encoder.h"
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

// A raw -lh5- (dicBits 13), -lh6- (15) or -lh7- (16) stream of the data,
// handed to the encoder in pieces of odd sizes (at most maxPiece).
Bytes EncodeRaw(const Bytes& data, const lha::detail::Lh5Params& params, int dicBits = 13,
                size_t maxPiece = 70000);
Bytes EncodeRaw(const Bytes& data, int blockSymbols, int dicBits = 13);
// Decodes a raw stream with our decoder.
Bytes Decode(const Bytes& packed, uint32_t size, lha::Result* r, int dicBits = 13);
// The method name of a window: "-lh5-", "-lh6-" or "-lh7-".
const char* MethodOf(int dicBits);
// Appends a member holding a raw stream, so that other programs can judge it.
void AppendMember(Bytes* archive, const std::string& name, const char* method, const Bytes& data,
                  const Bytes& packed);

// Whether 7-Zip's 7zz can be run.
bool Have7zz();

}  // namespace lhatest
