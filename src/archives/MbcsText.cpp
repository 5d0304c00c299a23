#include "archives/MbcsText.h"

#include "platform/win32api.h"

namespace vx {

namespace {

bool IsLead(const std::string& S, std::string::size_type i) {
  return i + 1 < S.size() && IsDBCSLeadByte(static_cast<BYTE>(S[i]));
}

unsigned char FoldAscii(unsigned char ch) {
  return (ch >= 'a' && ch <= 'z') ? static_cast<unsigned char>(ch - 'a' + 'A') : ch;
}

}  // namespace

std::string::size_type LastCharOffset(const std::string& S) {
  std::string::size_type last = std::string::npos;
  for (std::string::size_type i = 0; i < S.size(); i += IsLead(S, i) ? 2 : 1) last = i;
  return last;
}

bool EndsWithPathDelimiter(const std::string& S) {
  const auto last = LastCharOffset(S);
  return last != std::string::npos && last == S.size() - 1 && S[last] == '\\';
}

std::string::size_type LastDelimiter(const std::string& Delimiters, const std::string& S) {
  std::string::size_type found = std::string::npos;
  for (std::string::size_type i = 0; i < S.size();) {
    if (IsLead(S, i)) {
      i += 2;
      continue;
    }
    if (Delimiters.find(S[i]) != std::string::npos) found = i;
    ++i;
  }
  return found;
}

int CompareText(const std::string& A, const std::string& B) {
  std::string::size_type i = 0;
  bool inTrail = false;
  for (; i < A.size() && i < B.size(); ++i) {
    unsigned char a = static_cast<unsigned char>(A[i]);
    unsigned char b = static_cast<unsigned char>(B[i]);
    if (!inTrail) {
      a = FoldAscii(a);
      b = FoldAscii(b);
    }
    if (a != b) return a < b ? -1 : 1;
    inTrail = !inTrail && IsDBCSLeadByte(static_cast<BYTE>(A[i]));
  }
  if (A.size() == B.size()) return 0;
  return A.size() < B.size() ? -1 : 1;
}

}  // namespace vx
