#include "tar32/TarGrammar.h"

namespace tar32 {

using arc::SwitchKind;

const arc::Grammar& TarGrammar() {
  static const arc::Grammar grammar = [] {
    arc::Grammar g;
    g.commands = {"c", "x", "t", "l"};
    g.archiveBySwitch = true;
    g.switches = {
        {"AH", SwitchKind::Flag},                // hidden and system files too (all are taken here)
        {"I", SwitchKind::Flag},                 // no hidden or system files (no such files here)
        {"-display-dialog=", SwitchKind::Number},
        {"g", SwitchKind::Flag},                 // accepted; no effect on POSIX files
        {"-check-all-path=", SwitchKind::Number},
        {"-use-directory=", SwitchKind::Number},
        {"z", SwitchKind::Number},
        {"B", SwitchKind::Number},
        {"f", SwitchKind::Value},
        {"o", SwitchKind::Value},
    };
    return g;
  }();
  return grammar;
}

}  // namespace tar32
