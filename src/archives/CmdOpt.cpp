#include "archives/CmdOpt.h"

#include "archives/FileStream.h"
#include "archives/MbcsText.h"

namespace vx {

void TCmdOpt::Add(const std::string& S) {
  Text += ' ';
  Text += S;
}

void TCmdOpt::AddStr(const std::string& Switch, const std::string& Value) {
  if (Value == NoValue) return;
  if (Switch.empty()) {
    Add('"' + Value + '"');
    return;
  }
  // A leading blank asks for the switch text without the dash.
  const std::string switchText = Switch[0] == ' ' ? Switch.substr(1) : '-' + Switch;
  if (SeparateValue)
    Add(switchText + " \"" + Value + '"');
  else
    Add('"' + switchText + Value + '"');
}

void TCmdOpt::AddInt(const std::string& Switch, int Value) {
  if (Value == -1) return;
  Add('-' + Switch + std::to_string(Value));
}

void TCmdOpt::AddName(const std::string& Switch, const std::string& Name) { AddStr(Switch, Name); }

void TCmdOpt::AddDir(const std::string& Switch, const std::string& Dir) {
  if (Dir.empty() || Dir == NoValue) return;
  AddName(Switch, EndsWithPathDelimiter(Dir) ? Dir : Dir + '\\');
}

void TCmdOpt::AddFile(const std::string& Switch, const std::string& Name) {
  AddName(Switch, Converter ? Converter(Name) : Name);
}

void TCmdOpt::AddFiles(const std::string& Switch, const TStringList& List) {
  for (const std::string& name : List) AddFile(Switch, name);
}

void TCmdOpt::AddResponseFile(const TStringList& List, const std::string& FileName) {
  std::string content;
  for (const std::string& name : List) {
    content += '"';
    content += Converter ? Converter(name) : name;
    content += "\"\r\n";
  }
  {
    TFileStream file(FileName, TFileStream::Mode::Create);
    file.WriteBuffer(content.data(), content.size());
  }
  AddName("", '@' + FileName);
}

}  // namespace vx
