// The LHA command language, which UNLHA32.DLL speaks and UNARJ32J.DLL reads
// too (the ARJ back-end builds its lines with the LHA builder).
#pragma once

#include "common/Switches.h"

namespace arc {

// Every switch the LHA back-end can emit, with the given command letters.
arc::Grammar LhaGrammar(const std::vector<std::string>& commands);

}  // namespace arc
