// The command line UNZIP32.DLL takes: its command words and switches.
#pragma once

#include "common/Switches.h"

namespace zip {

const arc::Grammar& UnZipGrammar();

}  // namespace zip
