#include "zip/UnZipGrammar.h"

namespace zip {

using arc::SwitchKind;

const arc::Grammar& UnZipGrammar() {
  static const arc::Grammar grammar = [] {
    arc::Grammar g;
    g.commands = {"-x", "-e"};
    g.switches = {
        {"o", SwitchKind::Flag},   // overwrite existing files
        {"-i", SwitchKind::Flag},  // no dialogs (there are none)
        {"j", SwitchKind::Flag},   // bare names
        {"n", SwitchKind::Flag},   // never overwrite (the default)
    };
    return g;
  }();
  return grammar;
}

}  // namespace zip
