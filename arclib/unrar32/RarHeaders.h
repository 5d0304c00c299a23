// What we read of RAR archives ourselves: the CRC-32 of every RAR 4 file
// header (libarchive does not check stored members against it) and the
// names of the volumes that follow a first volume.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace unrar32 {

// Per member of a RAR 4 archive (its volumes in order), the CRC-32 of the
// whole file; empty for a member split over volumes (its headers hold the
// CRCs of parts). Nothing for what is not RAR 4 (RAR 5 checks its own CRCs).
std::vector<std::optional<uint32_t>> Rar4FileCrcs(const std::vector<std::string>& volumes);

// The archive and the volumes beside it that continue it: "x.part01.rar"
// is followed by "x.part02.rar" ... (same number width), "x.rar" by
// "x.r00", "x.r01" ...; the list ends before the first name not there.
std::vector<std::string> RarVolumes(const std::string& posixPath);
// The name the volume after the last of the list would have.
std::string NextVolumeName(const std::string& posixPath, size_t index);

}  // namespace unrar32
