// The message vxhost writes, read back by Python's email package: header
// fields, file names in every form, and attachment bytes.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "HostRun.h"
#include "MailMessage.h"
#include "support/Scratch.h"

namespace hosttest {
namespace {

std::string Bytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string data(size, '\0');
  for (char& c : data) c = static_cast<char>(random() & 0xFF);
  return data;
}

TEST(MailMessage, PythonReadsTheHeaderFieldsNamesAndBytesBack) {
  vxhost::MailMessage m;
  m.From = "山田 太郎 <taro@example.invalid>";
  m.To = "hanako@example.invalid";
  m.Subject = "添付ファイルの送付について（第三四半期の集計結果と、その補足資料一式をお送りします）";
  m.Body = "本文です。\nSecond line.\n";
  // File names: plain, with characters a quoted string escapes, Japanese,
  // long enough for continuations, and characters RFC 2231 must escape.
  // Sizes cover every base64 ending.
  std::vector<vxhost::MailPart> parts = {
      {"report.zip", "application/zip", Bytes(0, 1), ""},
      {"say \"hi\"\\now.lzh", "application/x-lha", Bytes(1, 2), ""},
      {"資料.cab", "application/x-compressed", Bytes(2, 3), ""},
      {"第三四半期の集計結果と補足資料一式_最終版_改訂二版_確認済み.tgz", "application/x-compressed", Bytes(3, 4), ""},
      {"100% done; (a)=b's.exe", "application/zip", Bytes(5000, 5), ""},
      {std::string(90, 'x') + ".bz2", "application/x-compressed", Bytes(57, 6), ""},
      // Read from files as the message is written: pieces of 57 KiB and a
      // remainder, an empty file, a short one.
      {"streamed.zip", "application/zip", Bytes(57 * 1024 * 2 + 58, 7), "streamed"},
      {"empty.lzh", "application/x-lha", "", "empty"},
      {"short.cab", "application/x-compressed", Bytes(2, 8), "short"},
  };
  vxtest::ScratchDir sources;
  for (vxhost::MailPart& part : parts) {
    if (part.SourceFile.empty()) continue;
    part.SourceFile = sources.Path() + "/" + part.SourceFile;
    WriteFile(part.SourceFile, part.Data);
  }
  std::vector<std::string> expected;
  for (vxhost::MailPart& part : parts) {
    expected.push_back(part.Data);
    if (!part.SourceFile.empty()) part.Data = "not this";
  }
  m.Parts = parts;
  const std::string text = vxhost::FormatMessage(m, 1700000000, "t1");

  // Line ends are CR LF, and no line is longer than 78 characters.
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    ASSERT_FALSE(line.empty() || line.back() != '\r') << "a line without CR LF";
    EXPECT_LE(line.size() - 1, 78u) << line;
  }

  vxtest::ScratchDir dir;
  WriteFile(dir.Path() + "/m.eml", text);
  const Reading r = ReadMessage(dir.Path() + "/m.eml", dir.Path() + "/parts");
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_TRUE(r.defects.empty());
  EXPECT_EQ(r.fields.at("from"), m.From);
  EXPECT_EQ(r.fields.at("to"), m.To);
  EXPECT_EQ(r.fields.at("subject"), m.Subject);
  EXPECT_EQ(r.fields.at("body"), "本文です。\r\nSecond line.\r\n");
  ASSERT_EQ(r.parts.size(), parts.size());
  for (std::size_t i = 0; i < parts.size(); ++i) {
    SCOPED_TRACE(parts[i].FileName);
    EXPECT_EQ(r.parts[i].fileName, parts[i].FileName);
    EXPECT_EQ(r.parts[i].nameParameter, parts[i].FileName);
    EXPECT_EQ(r.parts[i].mimeType, parts[i].MimeType);
    EXPECT_EQ(r.parts[i].size, expected[i].size());
    EXPECT_TRUE(ReadFile(dir.Path() + "/parts/" + parts[i].FileName) == expected[i]);
  }
}

TEST(MailMessage, OptionsCannotAddHeaderFields) {
  vxhost::MailMessage m;
  m.From = "a@example.invalid\r\nBcc: victim@example.invalid";
  m.To = "b@example.invalid";
  m.Subject = "hello\nX-Injected: 1";
  m.Body = "x";
  const std::string text = vxhost::FormatMessage(m, 1700000000, "t2");
  EXPECT_EQ(text.find("\r\nBcc:"), std::string::npos);
  EXPECT_EQ(text.find("\nX-Injected"), std::string::npos);
}

}  // namespace
}  // namespace hosttest

TEST(MailMessage, AnUnreadablePartFileFailsTheMessage) {
  vxhost::MailMessage m;
  m.From = "a@example.invalid";
  m.To = "b@example.invalid";
  m.Parts = {{"gone.zip", "application/zip", "", "/nonexistent/gone.zip"}};
  std::ostringstream out;
  EXPECT_FALSE(vxhost::WriteMessage(out, m, 1700000000, "t3"));
}

