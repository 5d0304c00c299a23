// The one option set every back-end receives. Almost every property is named
// after an LHA library switch and holds its value; -1 (integers) and NoValue
// (strings) mean "switch not given".
#pragma once

#include <cstdint>
#include <string>

#include "archives/Persistent.h"
#include "archives/Types.h"

namespace vx {

class TArchiverOptions : public TPersistent {
 public:
  // Signed bytes: a stored 255 reads as -1.
  int8_t a, c, e, f, h, i, l, m, n, o, p, r, s, t, u;
  std::string w;
  int8_t x, y, z, jc, jd, je, jf, jh, ji, jm, jn;
  std::string jo, job;
  int8_t jp, jr, jss, jw;
  TStringList jx;
  int8_t jyc, jyd, jyk, jyn, jyo;
  std::string jz;
  int8_t ga, gd, ge, gf, gj, gm, gn, go, gp;
  std::string gr;
  int8_t gs, gu, gw;
  std::string UserOptions;
  std::string UserFileList;
  TPackFilter PackFilter;
  std::string ResFileName;
  TResFileUsage ResFileUsage;

  TArchiverOptions() { Reset(); }
  TArchiverOptions(const TArchiverOptions&) = delete;
  TArchiverOptions& operator=(const TArchiverOptions&) = delete;

  std::string ClassName() const override { return "TArchiverOptions"; }

  // Every property back to its default; jx emptied.
  void Reset();

 protected:
  void AssignTo(TPersistent* Dest) const override;
};

}  // namespace vx
