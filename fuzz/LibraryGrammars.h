// The switch tables of all our libraries, for the grammar fuzzer.
#pragma once

#include <vector>

#include "common/Switches.h"

namespace vxfuzz {

std::vector<const arc::Grammar*> LibraryGrammars();

}  // namespace vxfuzz
