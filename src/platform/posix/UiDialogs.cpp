// The file-open dialog and the folder browser, answered by the installed
// user-interface backend.
#include <cstring>
#include <set>

#include "platform/posix/Internal.h"
#include "platform/posix/vxui.h"

// Our item identifier list: a file-system path and nothing else.
struct _ITEMIDLIST {
  std::string path;
};

namespace vxui {
namespace {

DWORD& LastDialogError() {
  static DWORD error = 0;
  return error;
}

std::set<LPCITEMIDLIST>& ItemLists() {
  static std::set<LPCITEMIDLIST> lists;
  return lists;
}

// Offset just after the last separator (a 0x5C trail byte is none), or 0.
std::size_t NameOffset(const std::string& path) {
  std::size_t offset = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (vxposix::detail::IsLead(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (path[i] == '\\' || path[i] == ':') offset = i + 1;
  }
  return offset;
}

// The folder of a path as the dialog reports it: without its last
// backslash unless that closes a root such as C:\.
std::string FolderOf(const std::string& path) {
  std::string folder = path.substr(0, NameOffset(path));
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

bool SameFolder(const std::string& a, const std::string& b) {
  return vxposix::detail::CompareNoCase(a.c_str(), b.c_str()) == 0;
}

// The result buffer of GetOpenFileNameA: the files NUL-separated, ending in
// two NULs.
std::string Layout(const std::vector<std::string>& files, bool multi, WORD& nameOffset) {
  if (!multi || files.size() == 1) {
    nameOffset = static_cast<WORD>(NameOffset(files[0]));
    return files[0] + std::string(2, '\0');
  }
  const std::string folder = FolderOf(files[0]);
  std::string out = folder + '\0';
  nameOffset = static_cast<WORD>(folder.size() + 1);
  for (const std::string& file : files) {
    const bool here = SameFolder(FolderOf(file), folder);
    out += (here ? file.substr(NameOffset(file)) : file) + '\0';
  }
  return out + '\0';
}

}  // namespace
}  // namespace vxui

using namespace vxui;

VXAPI BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA lpofn) {
  LastDialogError() = 0;
  if (lpofn == nullptr || lpofn->lpstrFile == nullptr || lpofn->nMaxFile < 2) {
    LastDialogError() = 0x0002;  // CDERR_INITIALIZATION
    return FALSE;
  }
  std::vector<std::string> files;
  if (!CurrentBackend().OpenFiles(lpofn->hwndOwner, lpofn->lpstrTitle ? lpofn->lpstrTitle : "", files) ||
      files.empty())
    return FALSE;
  const bool multi = (lpofn->Flags & OFN_ALLOWMULTISELECT) != 0;
  if (!multi) files.resize(1);
  WORD nameOffset = 0;
  const std::string out = Layout(files, multi, nameOffset);
  if (out.size() > lpofn->nMaxFile) {
    // The first two bytes tell the size the caller would need.
    LastDialogError() = FNERR_BUFFERTOOSMALL;
    const std::size_t need = out.size() > 0xFFFF ? 0xFFFF : out.size();
    lpofn->lpstrFile[0] = static_cast<char>(need & 0xFF);
    lpofn->lpstrFile[1] = static_cast<char>(need >> 8);
    return FALSE;
  }
  std::memcpy(lpofn->lpstrFile, out.data(), out.size());
  lpofn->nFileOffset = nameOffset;
  // The extension offset is given for one file only.
  lpofn->nFileExtension = 0;
  if (files.size() == 1) {
    const std::size_t dot = files[0].find_last_of('.');
    if (dot != std::string::npos && dot >= nameOffset) lpofn->nFileExtension = static_cast<WORD>(dot + 1);
  }
  return TRUE;
}

VXAPI DWORD WINAPI CommDlgExtendedError(void) { return LastDialogError(); }

VXAPI LPITEMIDLIST WINAPI SHBrowseForFolderA(LPBROWSEINFOA lpbi) {
  if (lpbi == nullptr) return nullptr;
  std::string folder;
  if (!CurrentBackend().BrowseForFolder(lpbi->hwndOwner, lpbi->lpszTitle ? lpbi->lpszTitle : "", folder))
    return nullptr;
  if (lpbi->pszDisplayName != nullptr) {
    std::string name = folder.substr(NameOffset(folder));
    if (name.empty()) name = folder;  // a drive shows as itself
    std::strncpy(lpbi->pszDisplayName, name.c_str(), MAX_PATH - 1);
    lpbi->pszDisplayName[MAX_PATH - 1] = '\0';
  }
  auto* list = new ITEMIDLIST{folder};
  ItemLists().insert(list);
  return list;
}

VXAPI BOOL WINAPI SHGetPathFromIDListA(LPCITEMIDLIST pidl, LPSTR pszPath) {
  if (pszPath == nullptr) return FALSE;
  if (ItemLists().count(pidl) == 0 || pidl->path.size() >= MAX_PATH) {
    *pszPath = '\0';
    return FALSE;
  }
  std::memcpy(pszPath, pidl->path.c_str(), pidl->path.size() + 1);
  return TRUE;
}

VXAPI void WINAPI CoTaskMemFree(LPVOID pv) {
  auto* list = static_cast<LPITEMIDLIST>(pv);
  if (ItemLists().erase(list) != 0) delete list;
}
