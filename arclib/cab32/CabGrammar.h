// The command line CAB32.DLL takes: its command words and switches.
#pragma once

#include "common/Switches.h"

namespace cab32 {

const arc::Grammar& CabGrammar();

}  // namespace cab32
