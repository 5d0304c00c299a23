#include "lha_types.h"

namespace lha {

const char* ResultText(Result r) {
  switch (r) {
    case Result::Ok: return "ok";
    case Result::End: return "end of archive";
    case Result::WriteError: return "write error";
    case Result::ReadError: return "read error";
    case Result::BadName: return "name cannot be stored";
    case Result::TooLarge: return "member of 4 GiB or more (its header has 32-bit sizes)";
    case Result::Corrupt: return "archive damaged";
    case Result::CrcMismatch: return "CRC error";
    case Result::Unsupported: return "unsupported method or header";
    case Result::BadState: return "writer unusable after an earlier error";
  }
  return "unknown result";
}

}  // namespace lha
