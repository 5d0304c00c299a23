// Private profile (ini) files with Windows semantics: sections and keys
// without case, CR LF lines, the file and section created by the first write.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/posix/Internal.h"

namespace vxposix::detail {
namespace {

struct Entry {
  std::string key;    // empty for a line that is no key (comment, blank)
  std::string value;
  std::string raw;    // the line as read, kept for lines without a key
};

struct Section {
  std::string name;
  std::vector<Entry> entries;
};

// Lines before the first section are kept under a nameless section.
struct Profile {
  std::vector<Section> sections;
};

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return std::string();
  const size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool Load(const std::string& posixPath, Profile& profile) {
  profile.sections.assign(1, Section{});
  std::ifstream in(posixPath, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string t = Trim(line);
    if (!t.empty() && t[0] == '[') {
      const size_t close = t.find(']');
      profile.sections.push_back(Section{Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1)), {}});
      continue;
    }
    Entry entry;
    entry.raw = line;
    const size_t eq = line.find('=');
    if (!t.empty() && t[0] != ';' && eq != std::string::npos) {
      entry.key = Trim(line.substr(0, eq));
      entry.value = Trim(line.substr(eq + 1));
    }
    profile.sections.back().entries.push_back(entry);
  }
  return true;
}

bool Save(const std::string& posixPath, const Profile& profile) {
  std::string text;
  for (size_t i = 0; i < profile.sections.size(); ++i) {
    const Section& s = profile.sections[i];
    if (i > 0) text += "[" + s.name + "]\r\n";
    for (const auto& e : s.entries) text += (e.key.empty() ? e.raw : e.key + "=" + e.value) + "\r\n";
  }
  FILE* f = std::fopen(posixPath.c_str(), "wb");
  if (f == nullptr) {
    SetLastErrorFromErrno();
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const int savedErrno = errno;
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    SetLastError(ErrnoToWin32(written ? errno : savedErrno));
    return false;
  }
  return true;
}

Section* FindSection(Profile& profile, const std::string& name) {
  for (size_t i = 1; i < profile.sections.size(); ++i)
    if (EqualsNoCase(profile.sections[i].name, name)) return &profile.sections[i];
  return nullptr;
}

Entry* FindKey(Section& section, const std::string& key) {
  for (auto& e : section.entries)
    if (!e.key.empty() && EqualsNoCase(e.key, key)) return &e;
  return nullptr;
}

// A value in double or single quotes is given without them.
std::string Unquote(const std::string& v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// Copies a list of NUL-terminated strings ending in a second NUL, cut to
// size the way Win32 does (size - 2 when it does not fit).
DWORD CopyList(const std::vector<std::string>& items, LPSTR buffer, DWORD size) {
  std::string all;
  for (const auto& item : items) all += item + '\0';
  if (size == 0 || buffer == nullptr) return 0;
  if (size == 1) {
    buffer[0] = '\0';
    return 0;
  }
  if (all.size() + 1 <= size) {
    std::memcpy(buffer, all.data(), all.size());
    buffer[all.size()] = '\0';
    if (all.empty()) buffer[1 < size ? 1 : 0] = '\0';
    return static_cast<DWORD>(all.size());
  }
  std::memcpy(buffer, all.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

DWORD CopyString(const std::string& value, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return 0;
  const size_t n = value.size() < size ? value.size() : size - 1;
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return static_cast<DWORD>(n);
}

}  // namespace
}  // namespace vxposix::detail

using namespace vxposix::detail;

VXAPI DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                            LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName) {
  Profile profile;
  std::string posix;
  const bool loaded = lpFileName != nullptr && ResolvePath(lpFileName, posix) && Load(posix, profile);
  if (!loaded) profile.sections.assign(1, Section{});
  if (lpAppName == nullptr) {
    std::vector<std::string> names;
    for (size_t i = 1; i < profile.sections.size(); ++i) names.push_back(profile.sections[i].name);
    return CopyList(names, lpReturnedString, nSize);
  }
  Section* section = FindSection(profile, lpAppName);
  if (lpKeyName == nullptr) {
    std::vector<std::string> keys;
    if (section != nullptr)
      for (const auto& e : section->entries)
        if (!e.key.empty()) keys.push_back(e.key);
    return CopyList(keys, lpReturnedString, nSize);
  }
  Entry* entry = section != nullptr ? FindKey(*section, lpKeyName) : nullptr;
  if (entry != nullptr) return CopyString(Unquote(entry->value), lpReturnedString, nSize);
  // The default loses its trailing blanks, as on Windows.
  std::string def = lpDefault != nullptr ? lpDefault : "";
  while (!def.empty() && def.back() == ' ') def.pop_back();
  SetLastError(ERROR_FILE_NOT_FOUND);
  return CopyString(def, lpReturnedString, nSize);
}

VXAPI UINT WINAPI GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, int nDefault, LPCSTR lpFileName) {
  char buffer[256];
  const DWORD n = GetPrivateProfileStringA(lpAppName, lpKeyName, "", buffer, sizeof buffer, lpFileName);
  std::string v = Trim(std::string(buffer, n));
  bool negative = false;
  size_t i = 0;
  if (i < v.size() && (v[i] == '-' || v[i] == '+')) negative = v[i++] == '-';
  int base = 10;
  if (v.compare(i, 2, "0x") == 0 || v.compare(i, 2, "0X") == 0) {
    base = 16;
    i += 2;
  } else if (v.compare(i, 1, "$") == 0) {
    base = 16;
    i += 1;
  }
  unsigned long long value = 0;
  size_t digits = 0;
  for (; i < v.size(); ++i, ++digits) {
    const char c = v[i];
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else break;
    value = (value * static_cast<unsigned>(base) + static_cast<unsigned>(d)) & 0xFFFFFFFFull;
  }
  if (digits == 0) return static_cast<UINT>(nDefault);
  const UINT result = static_cast<UINT>(value);
  return negative ? static_cast<UINT>(0u - result) : result;
}

VXAPI BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                             LPCSTR lpFileName) {
  if (lpFileName == nullptr) return TRUE;  // flushing the cache: nothing is cached here
  if (lpAppName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string posix;
  if (!ResolvePath(lpFileName, posix)) return FALSE;
  Profile profile;
  Load(posix, profile);
  Section* section = FindSection(profile, lpAppName);
  if (lpKeyName == nullptr) {  // removes the whole section
    if (section != nullptr) profile.sections.erase(profile.sections.begin() + (section - profile.sections.data()));
    return Save(posix, profile) ? TRUE : FALSE;
  }
  if (section == nullptr) {
    if (lpString == nullptr) return TRUE;
    profile.sections.push_back(Section{lpAppName, {}});
    section = &profile.sections.back();
  }
  Entry* entry = FindKey(*section, lpKeyName);
  if (lpString == nullptr) {
    if (entry != nullptr) section->entries.erase(section->entries.begin() + (entry - section->entries.data()));
  } else if (entry != nullptr) {
    entry->value = lpString;
  } else {
    // After the last key, before trailing blank lines.
    auto pos = section->entries.end();
    while (pos != section->entries.begin() && (pos - 1)->key.empty() && Trim((pos - 1)->raw).empty()) --pos;
    section->entries.insert(pos, Entry{lpKeyName, lpString, std::string()});
  }
  return Save(posix, profile) ? TRUE : FALSE;
}
