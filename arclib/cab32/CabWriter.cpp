#include "cab32/CabWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "archives/ArchiverDll.h"
#include "common/DeflatePiece.h"
#include "common/DosTime.h"
#include "common/Failure.h"
#include "common/FileFeed.h"
#include "common/LittleEndian.h"
#include "common/OrderedWork.h"
#include "common/TempFile.h"

namespace cab32 {

namespace {

using arc::Failure;

constexpr size_t kBlock = 32768;                        // uncompressed bytes per data block
constexpr uint64_t kFolderBlocks = 65535;              // a folder counts its blocks in 16 bits
constexpr size_t kBlocksPerJob = 64;                    // 2 MiB of a folder per worker job
constexpr int kLevel = 10;                              // libdeflate's; see ZIP32J for why
constexpr uint64_t kCabinetMax = 0xFFFFFFFFu;           // the header's size field is 32-bit
constexpr uint64_t kBlockHeader = 8;                    // checksum and two sizes before each block


uint32_t Fold(const uint8_t* p, size_t size, uint32_t sum) {
  for (; size >= 4; p += 4, size -= 4)
    sum ^= static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
  // The last one to three bytes go in from the top down.
  uint32_t tail = 0;
  for (size_t i = 0; i < size; ++i) tail |= static_cast<uint32_t>(p[i]) << (8 * (size - 1 - i));
  return sum ^ tail;
}

struct Planned {
  const arc::SourceItem* item;
  std::string name;  // backslashes
  uint16_t folder = 0;
  uint32_t offset = 0;  // in the folder's uncompressed data
  uint32_t size = 0;    // as read
};

struct Folder {
  uint64_t firstBlock = 0;  // file offset of its first data block
  uint32_t blocks = 0;
};

// Writes the data blocks of the folders in order, compressing batches of
// them on the workers.
class BlockWriter {
 public:
  BlockWriter(arc::TempFile& file, const std::string& shown, bool compress, uint64_t offset)
      : file_(file), shown_(shown), compress_(compress), offset_(offset) {}

  void StartFolder() {
    folders_.push_back({0, 0});  // its first block's place is known when it is written
    pending_ = std::make_shared<std::vector<uint8_t>>();
  }
  void Write(const uint8_t* p, size_t size) {
    while (size > 0) {
      const size_t n = std::min(size, kBlock * kBlocksPerJob - pending_->size());
      pending_->insert(pending_->end(), p, p + n);
      p += n;
      size -= n;
      if (pending_->size() == kBlock * kBlocksPerJob) Submit();
    }
  }
  // The folder's last block may be short.
  void EndFolder() {
    if (!pending_->empty()) Submit();
  }
  std::vector<Folder> Finish() {
    work_.Drain();
    for (Folder& f : folders_)  // a folder whose files all came out empty
      if (f.blocks == 0) f.firstBlock = offset_;
    return folders_;
  }
  uint64_t Offset() const { return offset_; }

 private:
  void Submit() {
    auto input = std::move(pending_);
    pending_ = std::make_shared<std::vector<uint8_t>>();
    auto output = std::make_shared<std::vector<uint8_t>>();
    const size_t blocks = (input->size() + kBlock - 1) / kBlock;
    const size_t folder = folders_.size() - 1;
    const bool compress = compress_;
    work_.Submit(
        [input, output, compress] {
          const int level = compress && arc::LooksIncompressible(input->data(), input->size()) ? 1 : kLevel;
          output->reserve(input->size() + input->size() / 64 + 64);
          for (size_t at = 0; at < input->size(); at += kBlock) {
            const size_t n = std::min(kBlock, input->size() - at);
            const uint8_t* block = input->data() + at;
            std::vector<uint8_t> packed;
            if (compress) {
              // MSZIP: "CK", then the block as a deflate stream of its own.
              packed = {'C', 'K'};
              const auto deflated = arc::DeflatePiece(level, block, n, true);
              packed.insert(packed.end(), deflated.begin(), deflated.end());
            } else {
              packed.assign(block, block + n);
            }
            const auto packedSize = static_cast<uint16_t>(packed.size());
            const auto originalSize = static_cast<uint16_t>(n);
            arc::LeBytes(*output)
                .U32(BlockChecksum(packed.data(), packed.size(), packedSize, originalSize))
                .U16(packedSize)
                .U16(originalSize);
            output->insert(output->end(), packed.begin(), packed.end());
          }
        },
        [this, output, blocks, folder] {
          if (!arc::WriteAll(file_.Fd(), output->data(), output->size()))
            throw arc::WriteFailure(shown_);
          if (folders_[folder].blocks == 0) folders_[folder].firstBlock = offset_;
          offset_ += output->size();
          folders_[folder].blocks += static_cast<uint32_t>(blocks);
          // Compressed sizes are known only now: stop at once rather than
          // compress the rest of a cabinet that cannot be written.
          if (offset_ > kCabinetMax) throw Failure(ARCERR_NOT_SUPPORT, "too large for a cabinet: " + shown_);
        });
  }

  arc::TempFile& file_;
  const std::string& shown_;
  bool compress_;
  uint64_t offset_;
  std::vector<Folder> folders_;
  std::shared_ptr<std::vector<uint8_t>> pending_;
  arc::OrderedWork work_;  // last: stops before what its jobs use goes
};

}  // namespace

uint32_t BlockChecksum(const uint8_t* data, size_t size, uint16_t packed, uint16_t original) {
  const uint8_t sizes[4] = {static_cast<uint8_t>(packed), static_cast<uint8_t>(packed >> 8),
                            static_cast<uint8_t>(original), static_cast<uint8_t>(original >> 8)};
  return Fold(sizes, 4, Fold(data, size, 0));
}

void WriteCabinet(const std::string& archivePosix, const std::string& archiveShown,
                  const std::vector<arc::SourceItem>& items, bool compress, arc::Progress& progress,
                  arc::Report& report) {
  // The plan: which folder each file goes in, from the sizes the files
  // have now; a file that grows while it is read is cut at that size.
  std::vector<Planned> files;
  // Tests set ARCLIB_CAB_FOLDER_BLOCKS to a few blocks to see files spread
  // over several folders without writing gigabytes.
  uint64_t folderMax = kFolderBlocks * kBlock;
  if (const char* test = std::getenv("ARCLIB_CAB_FOLDER_BLOCKS"))
    folderMax = std::clamp<uint64_t>(std::strtoull(test, nullptr, 10), 1, kFolderBlocks) * kBlock;
  uint64_t folderBytes = 0;
  uint64_t storedSize = 0;  // the blocks of the folders before this one, stored
  auto storedBlocks = [](uint64_t bytes) { return bytes + (bytes + kBlock - 1) / kBlock * kBlockHeader; };
  uint16_t folders = 1;
  size_t headerSize = 36;
  for (const arc::SourceItem& item : items) {
    if (item.directory) continue;
    // Unreadable files are found here, before anything is written.
    const int fd = open(item.posixPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw Failure(ARCERR_FILE_OPEN, "cannot read the file " + item.shownName + ": " + std::strerror(errno));
    close(fd);
    const auto size = static_cast<uint64_t>(item.st.st_size);
    if (size > folderMax) throw Failure(ARCERR_NOT_SUPPORT, "too large for a cabinet: " + item.shownName);
    if (folderBytes + size > folderMax && folderBytes > 0) {
      if (folders == 0xFFFF) throw Failure(ARCERR_NOT_SUPPORT, "too much data for a cabinet");
      ++folders;
      storedSize += storedBlocks(folderBytes);
      folderBytes = 0;
    }
    Planned p{&item, item.name, static_cast<uint16_t>(folders - 1), 0, 0};
    std::replace(p.name.begin(), p.name.end(), '/', '\\');
    headerSize += 16 + p.name.size() + 1;
    folderBytes += size;
    files.push_back(std::move(p));
  }
  if (files.empty()) throw Failure(ARCERR_NOT_FILENAME, "no files to pack");
  if (files.size() > 0xFFFF) throw Failure(ARCERR_NOT_SUPPORT, "too many files for a cabinet");
  headerSize += 8 * static_cast<size_t>(folders);
  // Stored, the cabinet's size is known from the files' sizes: one too
  // large is refused before anything is read.
  storedSize += storedBlocks(folderBytes) + headerSize;
  if (!compress && storedSize > kCabinetMax)
    throw Failure(ARCERR_NOT_SUPPORT, "too large for a cabinet: " + archiveShown + " would take " +
                                          std::to_string(storedSize) + " bytes stored (at most 4 GiB)");

  arc::TempFile temp;
  if (!temp.Open(archivePosix, 0666))
    throw Failure(ARCERR_TMP_OPEN, "cannot create a file beside " + archiveShown + ": " + std::strerror(errno));
  // Room for the header, the folders and the files, written last.
  const std::vector<uint8_t> room(headerSize, 0);
  if (!arc::WriteAll(temp.Fd(), room.data(), room.size())) throw arc::WriteFailure(archiveShown);

  BlockWriter blocks(temp, archiveShown, compress, headerSize);
  uint64_t total = 0;
  int current = -1;
  uint64_t inFolder = 0;
  for (Planned& f : files) {
    if (f.folder != current) {
      if (current >= 0) blocks.EndFolder();
      blocks.StartFolder();
      current = f.folder;
      inFolder = 0;
    }
    const arc::SourceItem& item = *f.item;
    arc::EntryInfo info;
    info.name = item.shownName;
    info.original = static_cast<uint64_t>(item.st.st_size);
    info.mtime = item.st.st_mtime;
    progress.Begin(item.shownName, item.shownName, info);
    f.offset = static_cast<uint32_t>(inFolder);
    const uint64_t done =
        arc::FeedFile(item, progress, [&](const uint8_t* data, size_t size) { blocks.Write(data, size); });
    f.size = static_cast<uint32_t>(done);
    inFolder += done;
    total += done;
  }
  blocks.EndFolder();
  const std::vector<Folder> written = blocks.Finish();
  const uint64_t cabinetSize = blocks.Offset();
  if (cabinetSize > kCabinetMax) throw Failure(ARCERR_NOT_SUPPORT, "too large for a cabinet: " + archiveShown);

  std::vector<uint8_t> header;
  header.reserve(headerSize);
  arc::LeBytes h(header);
  h.Text("MSCF").U32(0).U32(static_cast<uint32_t>(cabinetSize)).U32(0);
  h.U32(static_cast<uint32_t>(36 + 8 * static_cast<size_t>(folders)));  // the first file record
  h.U32(0).U8(3).U8(1);                                                  // version 1.3
  h.U16(folders).U16(static_cast<uint32_t>(files.size()));
  h.U16(0);  // no reserved areas, no other cabinets
  h.U16(0);  // set id
  h.U16(0);  // first cabinet of the set
  for (const Folder& folder : written)
    h.U32(static_cast<uint32_t>(folder.firstBlock)).U16(folder.blocks).U16(compress ? 1 : 0);  // MSZIP or none
  for (const Planned& f : files) {
    uint16_t time = 0, date = 0;
    arc::ToDosTime(f.item->st.st_mtime, time, date);
    uint16_t attributes = 0x20;                                // archive
    if ((f.item->st.st_mode & 0200) == 0) attributes |= 0x01;  // read-only
    if (!arc::IsAscii(f.name)) attributes |= 0x80;             // the name is UTF-8
    h.U32(f.size).U32(f.offset).U16(f.folder).U16(date).U16(time).U16(attributes).Text(f.name).U8(0);
  }
  if (header.size() != headerSize || written.size() != folders)
    throw Failure(ARCERR_CANNOT_WRITE, "cannot write " + archiveShown + ": the cabinet's layout went wrong");
  if (!arc::WriteAllAt(temp.Fd(), header.data(), header.size(), 0)) throw arc::WriteFailure(archiveShown);
  if (!temp.Commit()) throw arc::WriteFailure(archiveShown);
  for (const Planned& f : files) report.Member(f.item->shownName, f.size, f.size);
  report.Totals(files.size(), total, cabinetSize);
}

}  // namespace cab32
