// Our LHA library: writes -lh5- archives with level-2 headers, lists and
// decodes the common methods. Pure C++; names are code page 932 bytes.
//
//   std::FILE* f = std::fopen(path, "wb");
//   lha::FileSink sink(f);
//   lha::LhaWriter writer(sink);
//   writer.AddMember({"dir\\file.txt", false, mtime, 0x20}, bytes);
//   writer.Finish();
//
//   lha::FileSource source(f2);
//   lha::LhaReader reader(source);
//   lha::MemberHeader m;
//   while (reader.Next(&m) == lha::Result::Ok) reader.Extract(m, &data);
#pragma once

#include "crc16.h"
#include "lha_io.h"
#include "lha_reader.h"
#include "lha_types.h"
#include "lha_writer.h"
