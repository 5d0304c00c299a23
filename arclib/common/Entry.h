// The boundary of every command entry: nothing escapes it but a result
// code, and the report always lands in the caller's buffer.
#pragma once

#include <functional>

#include "common/Report.h"
#include "platform/win32api.h"

namespace arc {

// Runs body; 0 when it returns, the Failure's code (with an "Error:" line)
// when it throws one, an out-of-memory or general code for anything else.
int RunCommand(LPCSTR line, LPSTR output, DWORD size, const std::function<void(const std::string&, Report&)>& body);

// Runs body and answers its value, or `onError` when anything escapes.
template <typename T, typename Fn>
T Guarded(T onError, Fn body) noexcept {
  try {
    return body();
  } catch (...) {
    return onError;
  }
}

}  // namespace arc
