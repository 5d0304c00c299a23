#include "unlha32/LhaCommand.h"

#include "archives/ArchiverDll.h"
#include "common/Cp932.h"
#include "common/Failure.h"
#include "unlha32/UnlhaGrammar.h"

namespace unlha32 {

void RunLhaCommand(const std::string& text, arc::Report& report) {
  const arc::ParsedLine line = arc::ParseLine(text, UnlhaGrammar());
  if (line.archive.empty()) throw arc::Failure(ARCERR_NOT_FIND_ARC_FILE, "no archive name given");
  const char command = static_cast<char>(arc::UpperAscii(line.command)[0]);
  switch (command) {
    case 'A':
    case 'U':
    case 'F':
      Pack(line, command, report);
      break;
    case 'D':
      Delete(line, report);
      break;
    case 'X':
    case 'E':
      Extract(line, command == 'X', report);
      break;
    case 'T':
      Test(line, report);
      break;
    case 'S':
      MakeSfx(line, report);
      break;
    default:
      List(line, report);
      break;
  }
}

}  // namespace unlha32
