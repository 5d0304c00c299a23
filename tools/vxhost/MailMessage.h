// The composed message as an Internet message (RFC 5322 with MIME): header
// fields from the host's options, a short text part, and one base64 part per
// attachment with the plug-in's MIME type and the file name (RFC 2231
// encoded when it is not plain ASCII). Text here is UTF-8.
#pragma once

#include <ctime>
#include <iosfwd>
#include <string>
#include <vector>

namespace vxhost {

struct MailPart {
  std::string FileName;  // UTF-8
  std::string MimeType;
  std::string Data;
  // When not empty, the part's bytes are read from this file (POSIX path)
  // while the message is written, instead of Data: the attachment is never
  // held in memory.
  std::string SourceFile;
};

struct MailMessage {
  std::string From, To, Subject, Body;
  std::vector<MailPart> Parts;
};

// Writes the whole message with CR LF line ends. Tag makes the boundary and
// the message identifier unique. False when a part's file cannot be read or
// the stream fails.
bool WriteMessage(std::ostream& Out, const MailMessage& Message, std::time_t Date, const std::string& Tag);
// The same as text.
std::string FormatMessage(const MailMessage& Message, std::time_t Date, const std::string& Tag);

// Base64 of the bytes, without line breaks.
std::string Base64(const std::string& Data);
// A header field body: as it is when it is printable ASCII, else as
// RFC 2047 encoded words (for an address, only its display name).
std::string HeaderText(const std::string& Utf8, bool Address);
// The "; name=value" parameter of a file name, RFC 2231 encoded (with
// continuations when long) unless it is short printable ASCII.
std::string FileNameParameter(const std::string& Attribute, const std::string& Utf8);

}  // namespace vxhost
