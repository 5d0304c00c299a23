// The progress relay: the library sends "wm_arcextract" to the component's
// hidden window while it packs; the handler sees each message and may stop
// the library; without a handler nothing is registered at all.
#include <memory>

#include "ComponentFixture.h"

using namespace vx;
using componenttest::ArchiverMessage;
using componenttest::ComponentTest;
using componenttest::kAllLibraries;
using vxtest::Sjis;

namespace {

struct Seen {
  TObject* sender;
  int32_t state;
  std::string member;  // read from the library's record
};

class ProgressTest : public ComponentTest {
 protected:
  void SetUp() override {
    ComponentTest::SetUp();
    file.SetFileName("C:\\arc.lzh");
  }

  // A handler that records each report and sets Abort at report number abortAt.
  void Watch(int abortAt = -1) {
    file.OnProgress = [this, abortAt](TObject* sender, int32_t state, LPEXTRACTINGINFOEX info,
                                      bool& abort) {
      seen.push_back({sender, state, info != nullptr ? info->exinfo.szSourceFileName : "(null)"});
      if (static_cast<int>(seen.size()) == abortAt) abort = true;
    };
  }

  vxtest::TestLibraries libs{kAllLibraries};
  TArchiveFile file{nullptr};
  std::vector<Seen> seen;
};

}  // namespace

TEST_F(ProgressTest, WithoutHandlerNoWindowAndNoOwnerRegistration) {
  EXPECT_EQ(file.Pack(nullptr, nullptr, "", nullptr), 0);
  EXPECT_EQ(file.WindowHandle(), nullptr);
  EXPECT_TRUE(arctest::CallsOf("UnlhaSetOwnerWindowEx").empty());
  EXPECT_TRUE(arctest::CallsOf("UnlhaKillOwnerWindowEx").empty());
  EXPECT_TRUE(arctest::CallsOf("Unlha").at(0).progressAnswers.empty());
  EXPECT_EQ(arctest::CallsOf("Unlha").at(0).text.find(" -n1 "), std::string::npos);
}

TEST_F(ProgressTest, HandlerSeesEveryReportWhileTheWindowIsRegistered) {
  Watch();
  arctest::ScriptProgressCount(3);
  EXPECT_EQ(file.Pack(nullptr, nullptr, "", nullptr), 0);
  const HWND window = file.WindowHandle();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindow(window));

  ASSERT_EQ(seen.size(), 3u);
  const int32_t states[] = {ARCEXTRACT_BEGIN, ARCEXTRACT_INPROCESS, ARCEXTRACT_END};
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].sender, &file);
    EXPECT_EQ(seen[i].state, states[i]);
    EXPECT_EQ(seen[i].member, "member.txt");
  }
  EXPECT_EQ(arctest::CallsOf("Unlha").at(0).progressAnswers, (std::vector<LRESULT>{0, 0, 0}));
  // While a window is registered the LHA library shows no dialog of its own.
  EXPECT_NE(arctest::CallsOf("Unlha").at(0).text.find(" -n1 "), std::string::npos);
  // Registered just around the command, with no callback, then taken back.
  EXPECT_EQ(EntriesCalled({"UnlhaSetOwnerWindowEx", "Unlha", "UnlhaKillOwnerWindowEx"}),
            (std::vector<std::string>{"UnlhaSetOwnerWindowEx", "Unlha", "UnlhaKillOwnerWindowEx"}));
  const arctest::Call set = arctest::CallsOf("UnlhaSetOwnerWindowEx").at(0);
  EXPECT_EQ(set.window, window);
  EXPECT_EQ(set.record, nullptr);
  EXPECT_EQ(arctest::CallsOf("UnlhaKillOwnerWindowEx").at(0).window, window);
  EXPECT_EQ(file.Archiver()->OwnerWindow, nullptr);
  EXPECT_EQ(ArcExtractMessage(), RegisterWindowMessageA("wm_arcextract"));

  // The same window serves the next pack.
  seen.clear();
  EXPECT_EQ(file.Pack(nullptr, nullptr, "", nullptr), 0);
  EXPECT_EQ(file.WindowHandle(), window);
  EXPECT_EQ(seen.size(), 3u);
}

TEST_F(ProgressTest, AbortMakesTheMessageAnswerOne) {
  Watch(2);
  arctest::ScriptProgressCount(5);
  EXPECT_EQ(file.Pack(nullptr, nullptr, "", nullptr), ARCERR_USER_CANCEL);
  EXPECT_EQ(arctest::CallsOf("Unlha").at(0).progressAnswers, (std::vector<LRESULT>{0, 1}));
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_EQ(arctest::CallsOf("UnlhaKillOwnerWindowEx").size(), 1u);

  // Sent directly: the registered message is the handler's, others are not.
  seen.clear();
  EXPECT_EQ(SendMessageA(file.WindowHandle(), ArcExtractMessage(), ARCEXTRACT_INPROCESS, 0), 0);
  EXPECT_EQ(SendMessageA(file.WindowHandle(), ArcExtractMessage(), ARCEXTRACT_INPROCESS, 0), 1);
  EXPECT_EQ(SendMessageA(file.WindowHandle(), WM_USER + 7, 1, 2), 0);
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(ProgressTest, WindowIsUnregisteredAlsoWhenPackingRaises) {
  file.SetFileName("C:\\arc.rar");  // the RAR back-end raises on packing
  Watch();
  EXPECT_EQ(ArchiverMessage([&] { file.Pack(nullptr, nullptr, "", nullptr); }),
            Sjis("この形式では書庫ファイルの作成をサポートしておりません。"));
  EXPECT_EQ(EntriesCalled({"UnrarSetOwnerWindowEx", "UnrarKillOwnerWindowEx"}),
            (std::vector<std::string>{"UnrarSetOwnerWindowEx", "UnrarKillOwnerWindowEx"}));
  EXPECT_EQ(file.Archiver()->OwnerWindow, nullptr);
}

TEST_F(ProgressTest, LibraryWithoutOwnerEntriesPacksAllTheSame) {
  vxtest::TestLibraries zip({"no-owner/UNZIP32.DLL", "full/ZIP32J.DLL"});
  file.SetFileName("C:\\arc.zip");
  Watch();
  EXPECT_EQ(file.Pack(nullptr, nullptr, "", nullptr), 0);
  EXPECT_EQ(arctest::CallsOf("Zip").size(), 1u);
  EXPECT_TRUE(seen.empty());  // nobody reports to the window
}

TEST_F(ProgressTest, HandlerThatRemovesItselfStillGetsTheWindowUnregistered) {
  file.OnProgress = [this](TObject*, int32_t, LPEXTRACTINGINFOEX, bool&) {
    seen.push_back({});
    file.OnProgress = nullptr;
  };
  EXPECT_EQ(file.Pack(nullptr, nullptr, "", nullptr), 0);
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_EQ(arctest::CallsOf("UnlhaKillOwnerWindowEx").size(), 1u);
  EXPECT_EQ(file.Archiver()->OwnerWindow, nullptr);
}

TEST_F(ProgressTest, OwnerFreesTheComponentAndItsWindow) {
  HWND window = nullptr;
  {
    TComponent owner(nullptr);
    auto* owned = new TArchiveFile(&owner);
    owned->SetFileName("C:\\arc.lzh");
    owned->OnProgress = [](TObject*, int32_t, LPEXTRACTINGINFOEX, bool&) {};
    EXPECT_EQ(owned->Pack(nullptr, nullptr, "", nullptr), 0);
    window = owned->WindowHandle();
    ASSERT_TRUE(IsWindow(window));
  }
  EXPECT_FALSE(IsWindow(window));
}
