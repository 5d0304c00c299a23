#include "common/Entry.h"

#include <new>

#include "archives/ArchiverDll.h"
#include "common/Failure.h"

namespace arc {

int RunCommand(LPCSTR line, LPSTR output, DWORD size,
               const std::function<void(const std::string&, Report&)>& body) {
  Report report;
  int code = 0;
  try {
    if (line == nullptr) throw Failure(ARCERR_COMMAND_NAME, "no command line");
    body(line, report);
  } catch (const Failure& f) {
    report.Line(std::string("Error: ") + f.what());
    code = f.Code();
  } catch (const std::bad_alloc&) {
    report.Line("Error: out of memory");
    code = ARCERR_ENOUGH_MEMORY;
  } catch (const std::exception& e) {
    report.Line(std::string("Error: ") + e.what());
    code = ARCERR_START;
  } catch (...) {
    report.Line("Error: unexpected failure");
    code = ARCERR_START;
  }
  try {
    report.CopyTo(output, size);
  } catch (...) {
  }
  return code;
}

}  // namespace arc
