#include "common/LhaGrammar.h"

namespace arc {

Grammar LhaGrammar(const std::vector<std::string>& commands) {
  Grammar g;
  g.commands = commands;
  g.ignoreCase = true;
  g.switches.push_back({"+", SwitchKind::Flag});
  for (const char* n : {"a", "c", "e", "f", "h", "i", "l", "m", "n", "o", "p", "r", "s", "t", "u", "x", "y",
                        "z", "jc", "jd", "je", "jf", "jh", "ji", "jm", "jn", "jp", "jr", "jss", "jw", "jyc",
                        "jyd", "jyk", "jyn", "jyo", "ga", "gd", "ge", "gf", "gj", "gm", "gn", "go", "gp", "gs",
                        "gu", "gw"})
    g.switches.push_back({n, SwitchKind::Number});
  for (const char* n : {"w", "jo", "job", "jx", "jz", "gr"}) g.switches.push_back({n, SwitchKind::Text});
  return g;
}

}  // namespace arc
