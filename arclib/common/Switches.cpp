#include "common/Switches.h"

#include <algorithm>

#include "archives/ArchiverDll.h"
#include "common/Cp932.h"
#include "common/Failure.h"

namespace arc {

namespace {

bool IsNumber(const std::string& text) {
  size_t i = text.size() > 1 && text[0] == '-' ? 1 : 0;
  if (i == 1 && text.size() == 1) return false;
  for (; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

bool StartsWith(const std::string& text, const std::string& prefix, bool ignoreCase) {
  if (text.size() < prefix.size()) return false;
  const std::string head = text.substr(0, prefix.size());
  return ignoreCase ? UpperAscii(head) == UpperAscii(prefix) : head == prefix;
}

// Matches one switch item (without its dash); the longest name wins.
bool MatchSwitch(const std::string& body, const Grammar& grammar, const std::vector<Token>& tokens,
                 size_t& index, SwitchSet& out) {
  std::vector<const SwitchRule*> rules;
  for (const SwitchRule& s : grammar.switches) rules.push_back(&s);
  std::stable_sort(rules.begin(), rules.end(),
                   [](const SwitchRule* a, const SwitchRule* b) { return a->name.size() > b->name.size(); });
  for (const SwitchRule* rule : rules) {
    if (!StartsWith(body, rule->name, grammar.ignoreCase)) continue;
    const std::string rest = body.substr(rule->name.size());
    switch (rule->kind) {
      case SwitchKind::Flag:
        if (!rest.empty()) continue;
        out.Add(rule->name, rest);
        return true;
      case SwitchKind::Number:
        if (!rest.empty() && !IsNumber(rest)) continue;
        out.Add(rule->name, rest);
        return true;
      case SwitchKind::Text:
        out.Add(rule->name, rest);
        return true;
      case SwitchKind::Value:
        if (!rest.empty()) {
          out.Add(rule->name, rest);
          return true;
        }
        if (index + 1 >= tokens.size())
          throw Failure(ARCERR_COMMAND_NAME, "switch -" + body + " needs a value");
        out.Add(rule->name, tokens[++index].text);
        return true;
    }
  }
  return false;
}

}  // namespace

bool SwitchSet::Has(const std::string& name) const {
  return std::any_of(items_.begin(), items_.end(), [&](const auto& item) { return item.first == name; });
}

int SwitchSet::Number(const std::string& name, int absent, int bare) const {
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    if (it->first != name) continue;
    if (it->second.empty()) return bare;
    try {
      return std::stoi(it->second);
    } catch (...) {
      throw Failure(ARCERR_COMMAND_NAME, "switch -" + name + it->second + " has a bad number");
    }
  }
  return absent;
}

std::string SwitchSet::Text(const std::string& name, const std::string& absent) const {
  for (auto it = items_.rbegin(); it != items_.rend(); ++it)
    if (it->first == name) return it->second;
  return absent;
}

std::vector<std::string> SwitchSet::All(const std::string& name) const {
  std::vector<std::string> out;
  for (const auto& item : items_)
    if (item.first == name) out.push_back(item.second);
  return out;
}

ParsedLine ParseLine(const std::string& line, const Grammar& grammar) {
  const std::vector<Token> tokens = Tokenize(line);
  ParsedLine parsed;
  size_t i = 0;
  if (!grammar.commands.empty()) {
    const bool known = !tokens.empty() &&
                       std::any_of(grammar.commands.begin(), grammar.commands.end(), [&](const std::string& c) {
                         return grammar.commandIgnoreCase ? UpperAscii(c) == UpperAscii(tokens[0].text)
                                                          : c == tokens[0].text;
                       });
    if (known) {
      parsed.command = tokens[0].text;
      i = 1;
    } else if (grammar.commandRequired) {
      throw Failure(ARCERR_COMMAND_NAME,
                    tokens.empty() ? std::string("no command given") : "unknown command " + tokens[0].text);
    }
  }
  bool seenName = false;
  for (; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    // A quoted item that starts with a dash is a switch only before the
    // names begin ("-wC:\dir\" is one item); after them it is a file name.
    const bool isSwitch = t.text.size() > 1 && t.text[0] == '-' && (!t.quoted || !seenName);
    if (isSwitch) {
      if (!MatchSwitch(t.text.substr(1), grammar, tokens, i, parsed.switches))
        throw Failure(ARCERR_COMMAND_NAME, "unknown switch " + t.text);
      if (grammar.archiveBySwitch && parsed.switches.Has("f")) seenName = true;
      continue;
    }
    if (t.text.empty()) throw Failure(ARCERR_NOT_FILENAME, "empty name in the command line");
    seenName = true;
    if (t.text.size() > 1 && t.text[0] == '@') {
      for (const std::string& name : ReadResponseFile(t.text.substr(1))) parsed.files.push_back(name);
      continue;
    }
    if (!grammar.archiveBySwitch && parsed.archive.empty()) {
      parsed.archive = t.text;
    } else if (!grammar.archiveBySwitch && parsed.directory.empty() && parsed.files.empty() &&
               EndsWithSeparator(t.text) && t.text.back() == '\\') {
      parsed.directory = t.text;
    } else {
      parsed.files.push_back(t.text);
    }
  }
  return parsed;
}

}  // namespace arc
