#include "MailMessage.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace vxhost {

namespace {

const char kCrLf[] = "\r\n";
// The longest line a header field gets, line end not counted.
constexpr std::size_t kLineLimit = 78;

bool IsPrintableAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c < 0x20 || c > 0x7E) return false;
  return true;
}

// Options may carry line ends; a header field must not.
std::string OneLine(const std::string& s) {
  std::string out;
  for (char c : s) out += (c == '\r' || c == '\n') ? ' ' : c;
  return out;
}

// Encoded words of 60 characters at most, broken between characters.
std::string EncodedWords(const std::string& utf8) {
  std::string out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::size_t end = i;
    for (;;) {
      std::size_t next = end + 1;
      while (next < utf8.size() && (static_cast<unsigned char>(utf8[next]) & 0xC0) == 0x80) ++next;
      // 36 bytes give 48 base64 characters: a word of 60 fits a line
      // after any header field name used here.
      if (next - i > 36 && end > i) break;
      end = next;
      if (end >= utf8.size()) break;
    }
    if (!out.empty()) out += "\r\n ";
    out += "=?UTF-8?B?" + Base64(utf8.substr(i, end - i)) + "?=";
    i = end;
  }
  return out;
}

bool IsAttrChar(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  for (char s : std::string("!#$&+-.^_`|~"))
    if (c == static_cast<unsigned char>(s)) return true;
  return false;
}

std::string QuotedString(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string Base64Lines(const std::string& data) {
  const std::string all = Base64(data);
  std::string out;
  for (std::size_t i = 0; i < all.size(); i += 76) out += all.substr(i, 76) + kCrLf;
  return out;
}

// 57 bytes make one line of 76 base64 characters.
constexpr std::size_t kLineBytes = 57;

// Base64 lines of bytes; all but the last piece hold whole lines' worth.
void WriteBase64Piece(std::ostream& out, const char* data, std::size_t size) {
  std::string lines;
  lines.reserve((size / kLineBytes + 1) * 78);
  for (std::size_t i = 0; i < size; i += kLineBytes)
    lines += Base64(std::string(data + i, std::min(kLineBytes, size - i))) + kCrLf;
  out << lines;
}

// The file's bytes as base64 lines, read one piece at a time.
bool WriteBase64File(std::ostream& out, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<char> piece(kLineBytes * 1024);
  while (in) {
    in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    const auto n = static_cast<std::size_t>(in.gcount());
    if (n > 0) WriteBase64Piece(out, piece.data(), n);
  }
  return in.eof() && !in.bad();
}

std::string CrLfLines(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += kCrLf;
    } else {
      out += text[i];
    }
  }
  if (out.size() < 2 || out.compare(out.size() - 2, 2, kCrLf) != 0) out += kCrLf;
  return out;
}

std::string DateText(std::time_t date) {
  std::tm local{};
  localtime_r(&date, &local);
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const long offset = local.tm_gmtoff / 60;
  const long magnitude = offset < 0 ? -offset : offset;
  char text[64];
  std::snprintf(text, sizeof text, "%s, %d %s %d %02d:%02d:%02d %c%02ld%02ld", kDays[local.tm_wday], local.tm_mday,
                kMonths[local.tm_mon], local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec,
                offset < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
  return text;
}

}  // namespace

std::string Base64(const std::string& Data) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((Data.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < Data.size(); i += 3) {
    const unsigned v = static_cast<unsigned char>(Data[i]) << 16 | static_cast<unsigned char>(Data[i + 1]) << 8 |
                       static_cast<unsigned char>(Data[i + 2]);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (i < Data.size()) {
    const bool two = i + 1 < Data.size();
    const unsigned v = static_cast<unsigned char>(Data[i]) << 16 | (two ? static_cast<unsigned char>(Data[i + 1]) << 8 : 0);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += two ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string HeaderText(const std::string& Utf8, bool Address) {
  const std::string text = OneLine(Utf8);
  if (IsPrintableAscii(text)) return text;
  if (Address) {
    // "Display Name <addr>": only the display name is encoded.
    const std::size_t open = text.rfind('<');
    if (open != std::string::npos && text.find('>', open) != std::string::npos) {
      std::string name = text.substr(0, open);
      while (!name.empty() && name.back() == ' ') name.pop_back();
      if (!name.empty() && IsPrintableAscii(text.substr(open)))
        return EncodedWords(name) + "\r\n " + text.substr(open);
    }
    return text;  // an address itself stays as it is
  }
  return EncodedWords(text);
}

std::string FileNameParameter(const std::string& Attribute, const std::string& Utf8) {
  if (IsPrintableAscii(Utf8) && Utf8.size() <= 60) return ";\r\n " + Attribute + "=" + QuotedString(Utf8);
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (unsigned char c : Utf8)
    encoded += IsAttrChar(c) ? std::string(1, static_cast<char>(c)) : std::string{'%', kHex[c >> 4], kHex[c & 15]};
  const std::string single = " " + Attribute + "*=UTF-8''";
  if (single.size() + encoded.size() <= kLineLimit) return ";\r\n" + single + encoded;
  // Continuations, each on a line of its own that ends in ";", never
  // splitting an escape.
  std::string out;
  std::size_t i = 0;
  for (int n = 0; i < encoded.size(); ++n) {
    const std::string prefix = " " + Attribute + "*" + std::to_string(n) + "*=" + (n == 0 ? "UTF-8''" : "");
    const std::size_t room = kLineLimit - 1 - prefix.size();
    std::size_t end = std::min(encoded.size(), i + room);
    if (end < encoded.size()) {
      const std::size_t escape = encoded.rfind('%', end - 1);
      if (escape != std::string::npos && escape >= i && escape + 3 > end) end = escape;
    }
    out += ";\r\n" + prefix + encoded.substr(i, end - i);
    i = end;
  }
  return out;
}

bool WriteMessage(std::ostream& Out, const MailMessage& Message, std::time_t Date, const std::string& Tag) {
  const std::string boundary = "=_vxhost_" + Tag;
  std::string m;
  m += "From: " + HeaderText(Message.From, true) + kCrLf;
  m += "To: " + HeaderText(Message.To, true) + kCrLf;
  m += "Subject: " + HeaderText(Message.Subject, false) + kCrLf;
  m += "Date: " + DateText(Date) + kCrLf;
  m += "Message-ID: <" + Tag + "@vxhost.invalid>" + kCrLf;
  m += "MIME-Version: 1.0" + std::string(kCrLf);
  m += "Content-Type: multipart/mixed;\r\n boundary=\"" + boundary + "\"" + kCrLf;
  m += kCrLf;
  m += "This is a multi-part message in MIME format." + std::string(kCrLf);

  // The text part: 7bit when plain ASCII that cannot be taken for a boundary.
  const std::string body = CrLfLines(Message.Body);
  bool ascii = body.find("--" + boundary) == std::string::npos;
  for (unsigned char c : body) ascii = ascii && c < 0x80;
  m += kCrLf + std::string("--") + boundary + kCrLf;
  m += "Content-Type: text/plain; charset=UTF-8" + std::string(kCrLf);
  m += "Content-Transfer-Encoding: " + std::string(ascii ? "7bit" : "base64") + kCrLf + kCrLf;
  m += ascii ? body : Base64Lines(body);

  bool ok = true;
  for (const MailPart& part : Message.Parts) {
    m += kCrLf + std::string("--") + boundary + kCrLf;
    m += "Content-Type: " + OneLine(part.MimeType) + FileNameParameter("name", part.FileName) + kCrLf;
    m += "Content-Disposition: attachment" + FileNameParameter("filename", part.FileName) + kCrLf;
    m += "Content-Transfer-Encoding: base64" + std::string(kCrLf) + kCrLf;
    Out << m;
    m.clear();
    if (part.SourceFile.empty())
      WriteBase64Piece(Out, part.Data.data(), part.Data.size());
    else
      ok = WriteBase64File(Out, part.SourceFile) && ok;
  }
  m += kCrLf + std::string("--") + boundary + "--" + kCrLf;
  Out << m;
  return ok && static_cast<bool>(Out);
}

std::string FormatMessage(const MailMessage& Message, std::time_t Date, const std::string& Tag) {
  std::ostringstream out;
  WriteMessage(out, Message, Date, Tag);
  return out.str();
}

}  // namespace vxhost
