#include "unlha32/LhaCommand.h"

#include "archives/ArchiverDll.h"
#include "common/Cp932.h"
#include "common/Failure.h"
#include "common/LhaGrammar.h"

namespace unlha32 {

namespace {

// The switches this library acts on: x (0: bare names), r (1 or more:
// wildcards search subdirectories), c (1: "u" replaces regardless of
// time), z (1: store without compression), o (6 or 7: -lh6- or -lh7-
// instead of -lh5-), jx (names to leave out). The others are accepted and
// change nothing here: there are no dialogs, no registry and no work
// directory to honour.
const arc::Grammar& Grammar() {
  static const arc::Grammar grammar = arc::LhaGrammar({"a", "u", "f", "d", "x", "e", "l", "v", "t", "s"});
  return grammar;
}

}  // namespace

void RunLhaCommand(const std::string& text, arc::Report& report) {
  const arc::ParsedLine line = arc::ParseLine(text, Grammar());
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
