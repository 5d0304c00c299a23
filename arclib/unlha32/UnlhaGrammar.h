// The command line UNLHA32.DLL takes: its command words and switches.
#pragma once

#include "common/Switches.h"

namespace unlha32 {

const arc::Grammar& UnlhaGrammar();

}  // namespace unlha32
