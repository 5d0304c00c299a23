#include "archivers/SfxFiles.h"

#include <vector>

#include "archives/ArchiverLibrary.h"
#include "archives/Exceptions.h"
#include "archives/FileStream.h"
#include "platform/win32api.h"

namespace vx {

namespace {

bool SameFileName(const std::string& A, const std::string& B) {
  return lstrcmpiA(ExpandFileName(A).c_str(), ExpandFileName(B).c_str()) == 0;
}

}  // namespace

std::string SearchStub(const char* FileName) {
  std::vector<char> buffer(512);
  char* filePart = nullptr;
  const DWORD n = SearchPathA(nullptr, FileName, nullptr, static_cast<DWORD>(buffer.size()),
                              buffer.data(), &filePart);
  if (n == 0 || n >= buffer.size()) return std::string();
  return std::string(buffer.data(), n);
}

void JoinStubAndArchive(const std::string& Stub, const std::string& ArchiveName,
                        const std::string& Program) {
  TFileStream archive(ArchiveName, TFileStream::Mode::OpenReadDenyWrite);
  // Creating the program would empty the file it is to be copied from.
  if (SameFileName(Program, ArchiveName) || SameFileName(Program, Stub))
    throw EFCreateError("Cannot create file \"" + Program + "\"");
  TFileStream program(Program, TFileStream::Mode::Create);
  TFileStream stub(Stub, TFileStream::Mode::OpenReadDenyWrite);
  program.CopyFrom(stub);
  program.CopyFrom(archive);
}

}  // namespace vx
