// Assembles an archiver command line item by item. Every item is preceded by
// one blank; the double quote is the only quoting character and nothing
// inside a value is escaped.
#pragma once

#include <string>

#include "archives/Types.h"

namespace vx {

// Rewrites a file name for a library that wants another spelling.
using TNameConverter = std::string (*)(const std::string& Name);

class TCmdOpt {
 public:
  bool SeparateValue = false;
  TNameConverter Converter = nullptr;
  std::string Text;

  void Add(const std::string& S);
  void AddStr(const std::string& Switch, const std::string& Value);
  void AddInt(const std::string& Switch, int Value);
  void AddName(const std::string& Switch, const std::string& Name);
  void AddDir(const std::string& Switch, const std::string& Dir);
  void AddFile(const std::string& Switch, const std::string& Name);
  void AddFiles(const std::string& Switch, const TStringList& List);
  // Writes List to the response file FileName, then adds "@FileName".
  // A file that cannot be written raises and appends nothing.
  void AddResponseFile(const TStringList& List, const std::string& FileName);
};

}  // namespace vx
