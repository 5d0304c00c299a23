#include "common/Wildcard.h"

#include <vector>

#include "common/Cp932.h"

namespace arc {

namespace {

std::vector<std::string> Chars(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size();) {
    const size_t n = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

bool SameChar(const std::string& a, const std::string& b) {
  return a.size() == b.size() && UpperAscii(a) == UpperAscii(b);
}

// One pattern character, with its class already parsed: a class is found
// once, not again at every step of the match.
struct Token {
  enum Kind { Literal, AnyOne, AnyRun, Class } kind;
  std::vector<std::string> chars;  // the literal, or the class's members
};

std::vector<Token> Compile(const std::vector<std::string>& pattern, bool classes) {
  std::vector<Token> tokens;
  // Where the next "]" stands at or after each place, found in one pass
  // from the end: a class is "[", at least one member, then that "]".
  std::vector<size_t> nextClose(pattern.size() + 1, pattern.size());
  for (size_t i = pattern.size(); i-- > 0;) nextClose[i] = pattern[i] == "]" ? i : nextClose[i + 1];
  for (size_t p = 0; p < pattern.size(); ++p) {
    const std::string& c = pattern[p];
    if (c == "*") {
      // A run of stars matches what one star does.
      if (tokens.empty() || tokens.back().kind != Token::AnyRun) tokens.push_back({Token::AnyRun, {}});
    } else if (c == "?") {
      tokens.push_back({Token::AnyOne, {}});
    } else if (classes && c == "[" && p + 2 < pattern.size() && nextClose[p + 2] < pattern.size()) {
      const size_t end = nextClose[p + 2];
      tokens.push_back({Token::Class, std::vector<std::string>(pattern.begin() + p + 1, pattern.begin() + end)});
      p = end;
    } else {
      tokens.push_back({Token::Literal, {c}});
    }
  }
  return tokens;
}

bool Takes(const Token& t, const std::string& c) {
  switch (t.kind) {
    case Token::AnyOne:
      return true;
    case Token::Literal:
      return SameChar(t.chars[0], c);
    case Token::Class:
      for (const std::string& member : t.chars)
        if (SameChar(member, c)) return true;
      return false;
    case Token::AnyRun:
      break;
  }
  return false;
}

// Greedy with one backtrack point, the last star: each name position is
// tried against each token at most a bounded number of times, so the work
// grows with the product of the two lengths at worst.
bool Match(const std::vector<Token>& pat, const std::vector<std::string>& name) {
  size_t p = 0, n = 0;
  size_t starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pat.size() && pat[p].kind == Token::AnyRun) {
      starP = ++p;
      starN = n;
      continue;
    }
    if (p < pat.size() && Takes(pat[p], name[n])) {
      ++p;
      ++n;
      continue;
    }
    if (starP == std::string::npos) return false;
    p = starP;
    n = ++starN;
  }
  while (p < pat.size() && pat[p].kind == Token::AnyRun) ++p;
  return p == pat.size();
}

}  // namespace

bool HasWildcards(const std::string& pattern, bool classes) {
  for (const std::string& c : Chars(pattern))
    if (c == "*" || c == "?" || (classes && c == "[")) return true;
  return false;
}

bool MatchWildcard(const std::string& pattern, const std::string& name, bool classes) {
  // "*.*" is the DOS spelling of everything, names without a dot included.
  if (pattern == "*.*" || pattern == "*") return true;
  return Match(Compile(Chars(pattern), classes), Chars(name));
}

std::string UnescapeClasses(const std::string& pattern) {
  const std::vector<std::string> chars = Chars(pattern);
  std::string out;
  for (size_t i = 0; i < chars.size(); ++i) {
    if (chars[i] == "[" && i + 2 < chars.size() && chars[i + 2] == "]") {
      out += chars[i + 1];
      i += 2;
    } else {
      out += chars[i];
    }
  }
  return out;
}

}  // namespace arc
