// The archive name the user types: what Windows cannot take as a file name.
#pragma once

#include <string>

namespace vx {

// Why Name (a file name without folder part, code page 932) cannot name a
// file, as a sentence for the user; empty when it can.
std::string ArchiveNameFault(const std::string& Name);

}  // namespace vx
