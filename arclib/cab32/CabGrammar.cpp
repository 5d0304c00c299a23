#include "cab32/CabGrammar.h"

namespace cab32 {

using arc::SwitchKind;

const arc::Grammar& CabGrammar() {
  static const arc::Grammar grammar = [] {
    arc::Grammar g;
    g.commands = {"-a", "-x", "-f", "-l"};
    g.switches = {
        {"o", SwitchKind::Flag},  // overwrite existing files
        {"i", SwitchKind::Flag},  // no dialogs (there are none)
        {"r", SwitchKind::Flag},  // wildcards search subdirectories
        {"j", SwitchKind::Flag},  // bare names
        {"q", SwitchKind::Flag},  // no line per member in the report
        {"m", SwitchKind::Text},  // -mz MSZIP (default), -mn stored
    };
    return g;
  }();
  return grammar;
}

}  // namespace cab32
