// Shared vocabulary of the archiver framework.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vx {

// Ordinals are fixed: they index tables and are compared numerically.
enum TArchiverType : int {
  atLha = 0,
  atZip = 1,
  atCab = 2,
  atArj = 3,
  atTar = 4,
  atTgz = 5,
  atBZ2 = 6,
  atRar = 7,
  atNone = 8,
  atAutoDetect = 9,
};

enum TPackFilter : int { pfArchiver = 0, pfComponent = 1 };

enum TResFileUse : int { ruOnPack = 0, ruOnUnpack = 1, ruOnRemoveItem = 2, ruOnUpdate = 3 };

// A set of TResFileUse: bit n for ordinal n.
struct TResFileUsage {
  uint8_t bits = 0;
  constexpr TResFileUsage() = default;
  constexpr TResFileUsage(std::initializer_list<TResFileUse> uses) {
    for (TResFileUse u : uses) bits |= static_cast<uint8_t>(1u << u);
  }
  constexpr bool Contains(TResFileUse u) const { return (bits >> u) & 1u; }
  constexpr void Include(TResFileUse u) { bits |= static_cast<uint8_t>(1u << u); }
  constexpr void Exclude(TResFileUse u) { bits &= static_cast<uint8_t>(~(1u << u)); }
  friend constexpr bool operator==(TResFileUsage, TResFileUsage) = default;
};

// Byte strings in code page 932.
using TStringList = std::vector<std::string>;

// The unset marker of a string switch or archive name: one NUL character.
// It differs from the empty string, which is a given, empty value.
inline const std::string NoValue(1, '\0');

}  // namespace vx
