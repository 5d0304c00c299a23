// The command line ZIP32J.DLL takes: its command words and switches.
#pragma once

#include "common/Switches.h"

namespace zip {

const arc::Grammar& ZipGrammar();

}  // namespace zip
