#include "support/Scratch.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/posix/vxposix.h"

namespace fs = std::filesystem;

namespace vxtest {

ScratchDir::ScratchDir() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vxtest-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  // Restore write permission that a test took away before removing.
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::end(it); it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

void ScratchDir::WriteFile(const std::string& relative, const std::string& content) const {
  const fs::path p = fs::path(path_) / relative;
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << content;
}

std::string ScratchDir::ReadFile(const std::string& relative) const {
  std::ifstream in(fs::path(path_) / relative, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool ScratchDir::Exists(const std::string& relative) const {
  return fs::exists(fs::path(path_) / relative);
}

void ScratchDir::MakeDir(const std::string& relative) const {
  fs::create_directories(fs::path(path_) / relative);
}

DriveC::DriveC() {
  if (!vxposix::MapDrive('C', Path())) throw std::runtime_error("cannot map C:");
}

DriveC::~DriveC() { vxposix::UnmapDrive('C'); }

std::string TestLibsRoot() {
  const char* root = std::getenv("VX_TESTLIBS");
  if (root == nullptr) throw std::runtime_error("VX_TESTLIBS is not set");
  return root;
}

TestLibraries::TestLibraries(const std::vector<std::string>& libraries) {
  const char* old = std::getenv("PATH");
  oldPath_ = old ? old : "";
  setenv("PATH", (dir_.Path() + ":" + oldPath_).c_str(), 1);
  for (const std::string& library : libraries) Add(library);
}

TestLibraries::~TestLibraries() { setenv("PATH", oldPath_.c_str(), 1); }

void TestLibraries::Add(const std::string& library) {
  const fs::path source = fs::path(TestLibsRoot()) / library;
  if (!fs::exists(source)) throw std::runtime_error("no test library " + source.string());
  fs::copy_file(source, fs::path(dir_.Path()) / source.filename(),
                fs::copy_options::overwrite_existing);
}

void TestLibraries::Remove(const std::string& fileName) {
  fs::remove(fs::path(dir_.Path()) / fileName);
}

}  // namespace vxtest
