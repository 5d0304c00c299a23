// A settings file read and written one value at a time through the
// system's private-profile services.
#pragma once

#include <string>

#include "archives/Exceptions.h"

namespace vx {

// A value that could not be written; the message names the file.
class EIniFileException : public Exception {
 public:
  using Exception::Exception;
};

class TIniFile {
 public:
  explicit TIniFile(std::string FileName) : FFileName(std::move(FileName)) {}

  const std::string& FileName() const { return FFileName; }

  // Decimal text, or hexadecimal after "0x", "0X" or "$", with an optional
  // sign, filling the whole value; Default for anything else.
  int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
  // Read as an integer; any non-zero value is true.
  bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;

  // Raise EIniFileException when the file cannot be written.
  void WriteInteger(const std::string& Section, const std::string& Ident, int Value) const;
  void WriteBool(const std::string& Section, const std::string& Ident, bool Value) const;

 private:
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) const;

  std::string FFileName;
};

// The integer a settings value holds, false when it holds none.
bool ParseIniInteger(const std::string& Text, int& Value);

}  // namespace vx
