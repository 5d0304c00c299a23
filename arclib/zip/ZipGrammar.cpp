#include "zip/ZipGrammar.h"

namespace zip {

using arc::SwitchKind;

const arc::Grammar& ZipGrammar() {
  static const arc::Grammar grammar = [] {
    arc::Grammar g;
    g.commands = {"-d", "-f"};
    g.commandRequired = false;
    g.commandIgnoreCase = false;  // -D is a switch, -d the delete command
    g.switches = {
        {"S", SwitchKind::Flag},   // system and hidden files (all are taken here)
        {"D", SwitchKind::Flag},   // no directory entries
        {"v", SwitchKind::Flag},
        {"q", SwitchKind::Flag},
        {"r", SwitchKind::Flag},   // into directories
        {"o", SwitchKind::Flag},   // the archive gets its newest member's time
        {"u", SwitchKind::Flag},   // only newer files replace members
        {"j", SwitchKind::Flag},   // bare names
        {"FF", SwitchKind::Flag},  // accepted: our archives need no repair pass
        {"k", SwitchKind::Flag},   // accepted: names stay long
        {"J", SwitchKind::Flag},   // accepted: archives we write have no prefix
        {"", SwitchKind::Number},  // -0 ... -9
    };
    return g;
  }();
  return grammar;
}

}  // namespace zip
