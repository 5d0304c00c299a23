#include "common/Listing.h"

#include <map>
#include <memory>

#include "common/Cp932.h"
#include "common/Wildcard.h"

namespace arc {

namespace {

struct ListingState {
  std::vector<EntryInfo> entries;
  std::string wild;
  size_t next = 0;
  const EntryInfo* current = nullptr;
};

std::map<HARC, std::unique_ptr<ListingState>>& Handles() {
  static std::map<HARC, std::unique_ptr<ListingState>> handles;
  return handles;
}

ListingState* Find(HARC handle) {
  const auto it = Handles().find(handle);
  return it == Handles().end() ? nullptr : it->second.get();
}

bool Matches(const std::string& wild, const EntryInfo& e) {
  if (wild.empty()) return true;
  const std::string name = WithBackslashes(e.name);
  const std::string pattern = WithBackslashes(wild);
  return MatchWildcard(pattern, name) || MatchWildcard(pattern, SplitPath(name).back());
}

int Advance(ListingState& state, LPINDIVIDUALINFO info) {
  state.current = nullptr;
  while (state.next < state.entries.size()) {
    const EntryInfo& e = state.entries[state.next++];
    if (!Matches(state.wild, e)) continue;
    if (info != nullptr) FillIndividualInfo(e, *info);
    state.current = &e;
    return 0;
  }
  return -1;
}

}  // namespace

HARC OpenListing(std::vector<EntryInfo> entries) {
  auto state = std::make_unique<ListingState>();
  state->entries = std::move(entries);
  const HARC handle = state.get();
  Handles()[handle] = std::move(state);
  return handle;
}

int FindFirstEntry(HARC handle, LPCSTR wild, LPINDIVIDUALINFO info) {
  ListingState* state = Find(handle);
  if (state == nullptr) return -1;
  state->wild = wild == nullptr ? std::string() : std::string(wild);
  state->next = 0;
  return Advance(*state, info);
}

int FindNextEntry(HARC handle, LPINDIVIDUALINFO info) {
  ListingState* state = Find(handle);
  return state == nullptr ? -1 : Advance(*state, info);
}

const EntryInfo* CurrentEntry(HARC handle) {
  const ListingState* state = Find(handle);
  return state == nullptr ? nullptr : state->current;
}

int CloseListing(HARC handle) { return Handles().erase(handle) == 1 ? 0 : ARCERR_NOT_ARC_FILE; }

}  // namespace arc
