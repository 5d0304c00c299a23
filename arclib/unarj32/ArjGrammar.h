// The command line UNARJ32J.DLL takes: the LHA library's, with the
// commands that read.
#pragma once

#include "common/Switches.h"

namespace unarj32 {

const arc::Grammar& ArjGrammar();

}  // namespace unarj32
