// The command line tar32.dll takes: its command words and switches.
#pragma once

#include "common/Switches.h"

namespace tar32 {

const arc::Grammar& TarGrammar();

}  // namespace tar32
