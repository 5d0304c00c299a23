#include "unarj32/ArjGrammar.h"

#include "common/LhaGrammar.h"

namespace unarj32 {

const arc::Grammar& ArjGrammar() {
  static const arc::Grammar grammar = arc::LhaGrammar({"x", "e", "l", "v", "t"});
  return grammar;
}

}  // namespace unarj32
