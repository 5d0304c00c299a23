// tar32.dll's gzip and bzip2 layers, made by our own compressing stages:
// the layer holds exactly the plain tar stream the library writes without
// compression, gzip, bzip2, 7zz, GNU tar and bsdtar read it, gzip stays one
// member, and bzip2 is byte for byte what bzip2 makes of the plain stream.
#include <sys/resource.h>
#include <zlib.h>

#include <csignal>
#include <filesystem>

#include "ArcTestKit.h"
#include "support/Cp932.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

// Text, a run of zeros, noise: big enough for several deflate pieces.
std::string Mixed(size_t size) {
  std::string s;
  for (int i = 0; s.size() < size / 2; ++i) s += "line " + std::to_string(i * 7919 % 100003) + " of the log\n";
  s += std::string(size / 4, '\0');
  s += arctest::RandomBytes(size - s.size(), 17);
  return s;
}

struct TreeCase {
  const char* name;
  arctest::Tree tree;
};

std::vector<TreeCase> Trees() {
  return {
      {"an empty file", {{"empty.txt", ""}}},
      {"a 1-byte file", {{"one.txt", "x"}}},
      {"a tree over several pieces and blocks", {{"big.bin", Mixed(5 << 20)}, {"top.txt", "hello\n"}}},
  };
}

struct Layer {
  const char* switches;
  const char* extension;
  const char* unpack;     // writes the plain stream of the file named last to stdout
  const char* reference;  // makes our archive of the plain stream, byte for byte ("": none does)
};

class TarCompression : public ::testing::Test {
 protected:
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }
  // Packs every top-level file of src/<dir> into out/<archive>.
  arctest::CommandResult Pack(const std::string& dir, const arctest::Tree& tree, const std::string& archive,
                              const std::string& switches) {
    std::string names;
    for (const auto& [name, content] : tree) names += " \"" + name + "\"";
    return Call(tar, "c " + switches + " -f \"C:\\out\\" + archive + "\" -o \"C:\\src\\" + dir + "\\\"" + names);
  }

  vxtest::DriveC drive;
  arctest::RealLibrary lib{"tar32.dll"};
  TArcCommandProc tar = lib.Entry<TArcCommandProc>("Tar");
  TArcCheckArchiveProc check = lib.Entry<TArcCheckArchiveProc>("TarCheckArchive");
};

TEST_F(TarCompression, TheLayerHoldsThePlainTarStreamAndEveryReaderTakesIt) {
  const std::vector<Layer> layers = {
      {"-z", "tgz", "gzip -dc", ""},
      {"-z1", "tgz", "gzip -dc", ""},
      {"-z9", "tgz", "gzip -dc", ""},
      {"-z", "tgz", "7zz x -so", ""},
      {"-B", "tbz", "bzip2 -dc", "bzip2 -9 -c"},
      {"-B1", "tbz", "bzip2 -dc", "bzip2 -1 -c"},
      {"-B0", "tbz", "7zz x -so", "bzip2 -9 -c"},
  };
  int k = 0;
  for (const TreeCase& t : Trees()) {
    const std::string dir = "t" + std::to_string(k++);
    arctest::WriteTree(P("src/" + dir), t.tree);
    fs::create_directories(P("out"));
    ASSERT_EQ(Pack(dir, t.tree, dir + ".tar", "").code, 0);
    const std::string plain = drive.ReadFile("out/" + dir + ".tar");
    for (const Layer& layer : layers) {
      SCOPED_TRACE(std::string(t.name) + ", " + layer.switches + ", " + layer.unpack);
      const std::string archive = dir + "." + layer.extension;
      const auto r = Pack(dir, t.tree, archive, layer.switches);
      ASSERT_EQ(r.code, 0) << r.output;
      const std::string path = P("out/" + archive);
      const auto unpacked = Tool(std::string(layer.unpack) + " " + Sh(path) + " 2>/dev/null");
      EXPECT_EQ(unpacked.status, 0);
      EXPECT_TRUE(unpacked.output == plain) << "the layer holds " << unpacked.output.size() << " bytes, not "
                                            << plain.size();
      if (*layer.reference != '\0') {
        const auto made = Tool(std::string(layer.reference) + " " + Sh(P("out/" + dir + ".tar")));
        ASSERT_EQ(made.status, 0);
        EXPECT_TRUE(made.output == drive.ReadFile("out/" + archive))
            << layer.reference << " makes " << made.output.size() << " bytes, we "
            << drive.ReadFile("out/" + archive).size();
      }
      EXPECT_TRUE(check(vxtest::Sjis("C:\\out\\" + archive).c_str(), 0));
      for (const char* reader : {"tar -xf", "bsdtar -xf"}) {
        const std::string x = P("x");
        fs::remove_all(x);
        fs::create_directories(x);
        const auto e = Tool(std::string(reader) + " " + Sh(path) + " -C " + Sh(x));
        ASSERT_EQ(e.status, 0) << reader << ": " << e.output;
        EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(x), t.tree), "") << reader;
      }
      fs::remove(path);
    }
  }
}

// One member, as the library always wrote: readers that stop after the
// first member see the whole archive.
TEST_F(TarCompression, GzipIsOneMemberOverManyPieces) {
  const arctest::Tree tree{{"big.bin", Mixed(9 << 20)}};
  arctest::WriteTree(P("src/t"), tree);
  fs::create_directories(P("out"));
  ASSERT_EQ(Pack("t", tree, "a.tgz", "-z").code, 0);
  const std::string gz = drive.ReadFile("out/a.tgz");
  z_stream z{};
  ASSERT_EQ(inflateInit2(&z, 16 + 15), Z_OK);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(gz.data()));
  z.avail_in = static_cast<uInt>(gz.size());
  std::vector<unsigned char> sink(1 << 16);
  int r;
  do {
    z.next_out = sink.data();
    z.avail_out = static_cast<uInt>(sink.size());
    r = inflate(&z, Z_NO_FLUSH);
  } while (r == Z_OK);
  EXPECT_EQ(r, Z_STREAM_END);
  EXPECT_EQ(z.avail_in, 0u) << "bytes after the first member";
  EXPECT_GT(z.total_out, 9u << 20);
  inflateEnd(&z);
  EXPECT_EQ(Tool("gzip -t " + Sh(P("out/a.tgz"))).status, 0);
}

// The disk fills while pieces are still in flight: the failure of a
// write that the stage makes inside libarchive's output gives the disk
// code all the same, and the old archive stays.
TEST_F(TarCompression, AFullDiskMidStreamGivesTheDiskCode) {
  struct Case {
    const char* switches;
    const char* archive;
    size_t size, limit;
  };
  for (const Case& c : {Case{"-z1", "a.tgz", 28u << 20, 5u << 20}, Case{"-B1", "a.tbz", 3u << 20, 1u << 20}}) {
    SCOPED_TRACE(c.switches);
    const arctest::Tree tree{{"noise.bin", arctest::RandomBytes(c.size, 5)}};
    arctest::WriteTree(P("src/t"), tree);
    fs::remove_all(P("out"));
    fs::create_directories(P("out"));
    drive.WriteFile(std::string("out/") + c.archive, "old archive");
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = c.limit;
    setrlimit(RLIMIT_FSIZE, &small);
    const auto r = Pack("t", tree, c.archive, c.switches);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(r.code, ARCERR_DISK_SPACE) << r.output;
    EXPECT_NE(r.output.find(c.archive), std::string::npos) << r.output;
    EXPECT_EQ(drive.ReadFile(std::string("out/") + c.archive), "old archive");
    EXPECT_EQ(arctest::ListDir(P("out")), std::vector<std::string>{c.archive});
  }
}

}  // namespace
