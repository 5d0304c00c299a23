// The command line UNRAR32.DLL takes: its command words and switches.
#pragma once

#include "common/Switches.h"

namespace unrar32 {

const arc::Grammar& RarGrammar();

}  // namespace unrar32
