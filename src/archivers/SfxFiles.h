// The file work of self-extracting programs: finding a stub on the search
// path and writing stub + archive into the program file.
#pragma once

#include <string>

namespace vx {

// Full path of FileName on the platform's search path, or empty when it is
// not there (or its path does not fit the 512-character buffer).
std::string SearchStub(const char* FileName);

// Program = the stub's bytes followed by the archive's bytes, with nothing
// between. Opens the archive, creates the program, opens the stub, in that
// order; every file is closed on every path, also when a copy fails part-way
// (the partly written program then stays). A program that names the archive
// or the stub itself is refused with the creation error before it is
// created, so that neither is truncated.
void JoinStubAndArchive(const std::string& Stub, const std::string& ArchiveName,
                        const std::string& Program);

}  // namespace vx
