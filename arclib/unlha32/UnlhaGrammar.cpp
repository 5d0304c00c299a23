#include "unlha32/UnlhaGrammar.h"

#include "common/LhaGrammar.h"

namespace unlha32 {

// The switches this library acts on: x (0: bare names), r (1 or more:
// wildcards search subdirectories), c (1: "u" replaces regardless of
// time), z (1: store without compression), o (6 or 7: -lh6- or -lh7-
// instead of -lh5-), jx (names to leave out). The others are accepted and
// change nothing here: there are no dialogs, no registry and no work
// directory to honour.
const arc::Grammar& UnlhaGrammar() {
  static const arc::Grammar grammar = arc::LhaGrammar({"a", "u", "f", "d", "x", "e", "l", "v", "t", "s"});
  return grammar;
}

}  // namespace unlha32
