#include "unrar32/RarGrammar.h"

namespace unrar32 {

using arc::SwitchKind;

const arc::Grammar& RarGrammar() {
  static const arc::Grammar grammar = [] {
    arc::Grammar g;
    g.commands = {"-x", "-e", "-l", "-t"};
    g.switches = {{"u", SwitchKind::Flag}, {"y", SwitchKind::Flag}, {"s", SwitchKind::Flag}};
    return g;
  }();
  return grammar;
}

}  // namespace unrar32
