#include <gtest/gtest.h>
#include <cstring>

#include "archives/ArchiverOptions.h"

using namespace vx;

namespace {

class TOtherPersistent : public TPersistent {
 public:
  std::string ClassName() const override { return "TOtherPersistent"; }
};

void ExpectDefaults(const TArchiverOptions& o) {
  for (int8_t v : {o.a, o.c, o.e, o.f, o.h, o.i, o.l, o.m, o.n, o.o, o.p, o.r, o.s, o.t, o.u,
                   o.x, o.y, o.z, o.jc, o.jd, o.je, o.jf, o.jh, o.ji, o.jm, o.jn, o.jp, o.jr,
                   o.jss, o.jw, o.jyc, o.jyd, o.jyk, o.jyn, o.jyo, o.ga, o.gd, o.ge, o.gf, o.gj,
                   o.gm, o.gn, o.go, o.gp, o.gs, o.gu, o.gw})
    EXPECT_EQ(v, -1);
  for (const std::string* s : {&o.w, &o.jo, &o.job, &o.jz, &o.gr}) {
    ASSERT_EQ(s->size(), 1u);
    EXPECT_EQ((*s)[0], '\0');
  }
  EXPECT_TRUE(o.jx.empty());
  EXPECT_EQ(o.UserOptions, "");
  EXPECT_EQ(o.UserFileList, "");
  EXPECT_EQ(o.ResFileName, "");
  EXPECT_EQ(o.PackFilter, pfArchiver);
  EXPECT_TRUE(o.ResFileUsage.Contains(ruOnPack));
  EXPECT_TRUE(o.ResFileUsage.Contains(ruOnUnpack));
  EXPECT_TRUE(o.ResFileUsage.Contains(ruOnRemoveItem));
  EXPECT_FALSE(o.ResFileUsage.Contains(ruOnUpdate));
}

void Fill(TArchiverOptions& o) {
  o.a = 1;
  o.gw = 3;
  o.jm = 9;
  o.w = "C:\\w";
  o.jo = "990101";
  o.gr = "";
  o.jx = {"one", "two", "three"};
  o.UserOptions = "-opt";
  o.UserFileList = "tail";
  o.PackFilter = pfComponent;
  o.ResFileName = "C:\\r.txt";
  o.ResFileUsage = {ruOnUpdate};
}

}  // namespace

TEST(ArchiverOptions, FreshSetHoldsDefaults) {
  TArchiverOptions o;
  ExpectDefaults(o);
}

TEST(ArchiverOptions, ResetRestoresDefaults) {
  TArchiverOptions o;
  Fill(o);
  o.Reset();
  ExpectDefaults(o);
}

TEST(ArchiverOptions, StoredByte255ReadsMinusOne) {
  TArchiverOptions o;
  const uint8_t stored = 255;
  std::memcpy(&o.r, &stored, 1);
  EXPECT_EQ(o.r, -1);
}

TEST(ArchiverOptions, AssignCopiesEverythingIntoOwnList) {
  TArchiverOptions source, dest;
  Fill(source);
  dest.Assign(&source);
  EXPECT_EQ(dest.a, 1);
  EXPECT_EQ(dest.gw, 3);
  EXPECT_EQ(dest.jm, 9);
  EXPECT_EQ(dest.c, -1);
  EXPECT_EQ(dest.w, "C:\\w");
  EXPECT_EQ(dest.jo, "990101");
  EXPECT_EQ(dest.gr, "");
  EXPECT_EQ(dest.jz, NoValue);
  EXPECT_EQ(dest.jx, (TStringList{"one", "two", "three"}));
  EXPECT_EQ(dest.UserOptions, "-opt");
  EXPECT_EQ(dest.UserFileList, "tail");
  EXPECT_EQ(dest.PackFilter, pfComponent);
  EXPECT_EQ(dest.ResFileName, "C:\\r.txt");
  EXPECT_EQ(dest.ResFileUsage, TResFileUsage({ruOnUpdate}));

  source.jx.push_back("four");
  dest.jx[0] = "changed";
  EXPECT_EQ(dest.jx.size(), 3u);
  EXPECT_EQ(source.jx[0], "one");
}

TEST(ArchiverOptions, AssignBetweenUnrelatedClassesRaisesAndChangesNothing) {
  TArchiverOptions options;
  Fill(options);
  TOtherPersistent other;

  try {
    other.Assign(&options);
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TArchiverOptions to a TOtherPersistent");
  }
  try {
    options.Assign(&other);
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TOtherPersistent to a TArchiverOptions");
  }
  EXPECT_EQ(options.a, 1);
  EXPECT_EQ(options.jx.size(), 3u);
  EXPECT_EQ(options.ResFileUsage, TResFileUsage({ruOnUpdate}));
}
