#include <gtest/gtest.h>

#include <functional>

#include "archives/Archiver.h"
#include "archives/Exceptions.h"
#include "support/Cp932.h"

using namespace vx;
using vxtest::Sjis;

namespace {

// The smallest back-end: supplies only what every back-end must.
class TMinimalArchiver : public TArchiver {
 public:
  int Extract(HWND, const std::string&, const TArchiverOptions&, const std::string&,
              const TStringList*, bool, std::string&) override {
    return 0;
  }
};

struct BaseCase {
  const char* name;
  std::function<void(TArchiver&, const TArchiverOptions&, std::string&)> call;
  const char* message;  // UTF-8
};

}  // namespace

class BaseOperations : public ::testing::TestWithParam<BaseCase> {};

TEST_P(BaseOperations, RaiseTheirMessageAndLeaveCmdLine) {
  TMinimalArchiver archiver;
  archiver.CmdLine = "before";
  TArchiverOptions options;
  std::string output(16, '\0');
  try {
    GetParam().call(archiver, options, output);
    FAIL() << "no error";
  } catch (const EArchiver& e) {
    EXPECT_EQ(std::string(e.what()), Sjis(GetParam().message));
  }
  EXPECT_EQ(archiver.CmdLine, "before");
}

INSTANTIATE_TEST_SUITE_P(
    Contract, BaseOperations,
    ::testing::Values(
        BaseCase{"Pack",
                 [](TArchiver& a, const TArchiverOptions& o, std::string& out) {
                   a.Pack(nullptr, "C:\\a", o, "", nullptr, false, out);
                 },
                 "この形式では書庫ファイルの作成をサポートしておりません。"},
        BaseCase{"Delete",
                 [](TArchiver& a, const TArchiverOptions& o, std::string& out) {
                   a.Delete(nullptr, "C:\\a", o, "", nullptr, false, out);
                 },
                 "この形式の書庫ではファイルの削除をサポートしておりません。"},
        BaseCase{"Update",
                 [](TArchiver& a, const TArchiverOptions& o, std::string& out) {
                   a.Update(nullptr, "C:\\a", o, "", nullptr, false, out);
                 },
                 "この形式の書庫では書庫の更新をサポートしておりません。"},
        BaseCase{"MakeSfx",
                 [](TArchiver& a, const TArchiverOptions& o, std::string& out) {
                   a.MakeSfx(nullptr, "C:\\a", o, "", out);
                 },
                 "この形式では自己解凍書庫の作成をサポートしておりません。"},
        BaseCase{"CheckArchive",
                 [](TArchiver& a, const TArchiverOptions&, std::string&) {
                   a.CheckArchive("C:\\a", 1, 0);
                 },
                 "この形式では書庫チェック機能をサポートしておりません。"},
        BaseCase{"LoadDLL",
                 [](TArchiver&, const TArchiverOptions&, std::string&) { TArchiver::LoadDLL(); },
                 "Abstract method 'TArchiver.LoadDLL' was called"},
        BaseCase{"FreeDLL",
                 [](TArchiver&, const TArchiverOptions&, std::string&) { TArchiver::FreeDLL(); },
                 "Abstract method 'TArchiver.FreeDLL' was called"}),
    [](const ::testing::TestParamInfo<BaseCase>& info) { return info.param.name; });

TEST(BaseOperations, ListingAndOwnerWindowDefaults) {
  TMinimalArchiver archiver;
  INDIVIDUALINFO info{};
  EXPECT_EQ(archiver.OpenArchive(nullptr, "C:\\a", 0), nullptr);
  EXPECT_EQ(archiver.FindFirst(nullptr, &info, "*"), -1);
  EXPECT_EQ(archiver.FindNext(nullptr, &info), -1);
  EXPECT_EQ(archiver.CloseArchive(nullptr), 0);
  EXPECT_EQ(archiver.CmdLine, "");
  EXPECT_FALSE(archiver.SetOwnerWindowEx(reinterpret_cast<HWND>(0x10), nullptr));
  EXPECT_EQ(archiver.OwnerWindow, nullptr);
  EXPECT_FALSE(archiver.KillOwnerWindowEx(reinterpret_cast<HWND>(0x10)));
}
