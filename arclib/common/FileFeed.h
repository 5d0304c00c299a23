// Reading a listed file for a writer: at most the size it had when it was
// listed (a file that grows meanwhile is cut there, one that shrinks gives
// what there was), with progress after every piece.
#pragma once

#include <cstdint>
#include <functional>

#include "common/Progress.h"
#include "common/Sources.h"

namespace arc {

// Hands the file's bytes to `take` in pieces; returns how many there were.
// Throws Failure naming the file when it cannot be opened or read.
uint64_t FeedFile(const SourceItem& item, Progress& progress,
                  const std::function<void(const uint8_t* data, size_t size)>& take);

}  // namespace arc
