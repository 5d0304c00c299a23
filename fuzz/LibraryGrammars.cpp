#include "LibraryGrammars.h"

#include "common/LhaGrammar.h"

namespace vxfuzz {

std::vector<const arc::Grammar*> LibraryGrammars() {
  static const arc::Grammar lha = arc::LhaGrammar({"a", "u", "f", "d", "x", "e", "l", "v", "t", "s"});
  static const arc::Grammar arj = arc::LhaGrammar({"x", "e", "l", "v", "t"});
  return {&lha, &arj};
}

}  // namespace vxfuzz
