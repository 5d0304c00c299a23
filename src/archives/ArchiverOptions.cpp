#include "archives/ArchiverOptions.h"

namespace vx {

namespace {

// The integer switches in declaration order, for Reset and copying.
constexpr int8_t TArchiverOptions::* kIntSwitches[] = {
    &TArchiverOptions::a,   &TArchiverOptions::c,   &TArchiverOptions::e,   &TArchiverOptions::f,
    &TArchiverOptions::h,   &TArchiverOptions::i,   &TArchiverOptions::l,   &TArchiverOptions::m,
    &TArchiverOptions::n,   &TArchiverOptions::o,   &TArchiverOptions::p,   &TArchiverOptions::r,
    &TArchiverOptions::s,   &TArchiverOptions::t,   &TArchiverOptions::u,   &TArchiverOptions::x,
    &TArchiverOptions::y,   &TArchiverOptions::z,   &TArchiverOptions::jc,  &TArchiverOptions::jd,
    &TArchiverOptions::je,  &TArchiverOptions::jf,  &TArchiverOptions::jh,  &TArchiverOptions::ji,
    &TArchiverOptions::jm,  &TArchiverOptions::jn,  &TArchiverOptions::jp,  &TArchiverOptions::jr,
    &TArchiverOptions::jss, &TArchiverOptions::jw,  &TArchiverOptions::jyc, &TArchiverOptions::jyd,
    &TArchiverOptions::jyk, &TArchiverOptions::jyn, &TArchiverOptions::jyo, &TArchiverOptions::ga,
    &TArchiverOptions::gd,  &TArchiverOptions::ge,  &TArchiverOptions::gf,  &TArchiverOptions::gj,
    &TArchiverOptions::gm,  &TArchiverOptions::gn,  &TArchiverOptions::go,  &TArchiverOptions::gp,
    &TArchiverOptions::gs,  &TArchiverOptions::gu,  &TArchiverOptions::gw,
};

constexpr std::string TArchiverOptions::* kStringSwitches[] = {
    &TArchiverOptions::w,  &TArchiverOptions::jo, &TArchiverOptions::job,
    &TArchiverOptions::jz, &TArchiverOptions::gr,
};

}  // namespace

void TArchiverOptions::Reset() {
  for (auto field : kIntSwitches) this->*field = -1;
  for (auto field : kStringSwitches) this->*field = NoValue;
  jx.clear();
  UserOptions.clear();
  UserFileList.clear();
  PackFilter = pfArchiver;
  ResFileName.clear();
  ResFileUsage = {ruOnPack, ruOnUnpack, ruOnRemoveItem};
}

void TArchiverOptions::AssignTo(TPersistent* Dest) const {
  auto* target = dynamic_cast<TArchiverOptions*>(Dest);
  if (target == nullptr) {
    TPersistent::AssignTo(Dest);
    return;
  }
  if (target == this) return;
  for (auto field : kIntSwitches) target->*field = this->*field;
  for (auto field : kStringSwitches) target->*field = this->*field;
  target->jx = jx;  // entry by entry into the destination's own list
  target->UserOptions = UserOptions;
  target->UserFileList = UserFileList;
  target->PackFilter = PackFilter;
  target->ResFileName = ResFileName;
  target->ResFileUsage = ResFileUsage;
}

}  // namespace vx
