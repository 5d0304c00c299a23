#include "cab32/CabWriter.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <libgcab.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "archives/ArchiverDll.h"
#include "common/Failure.h"
#include "common/TempFile.h"

namespace cab32 {

namespace {

using arc::Failure;

template <typename T>
struct GUnref {
  void operator()(T* p) const {
    if (p != nullptr) g_object_unref(p);
  }
};
template <typename T>
using GPtr = std::unique_ptr<T, GUnref<T>>;

struct ErrorFree {
  GError* error = nullptr;
  ~ErrorFree() {
    if (error != nullptr) g_error_free(error);
  }
  std::string Text() const { return error != nullptr ? error->message : "unknown error"; }
};

// State the C callbacks of libgcab reach; a stop request or a failure is
// kept here, because no exception may pass through libgcab.
struct WriteState {
  arc::Progress* progress;
  const std::vector<arc::SourceItem>* items;
  size_t next = 0;
  GCancellable* cancel = nullptr;
  bool stopped = false;
};

gboolean OnFile(GCabFile*, gpointer data) {
  auto* s = static_cast<WriteState*>(data);
  try {
    if (s->next < s->items->size()) {
      const arc::SourceItem& item = (*s->items)[s->next++];
      arc::EntryInfo info;
      info.name = item.shownName;
      info.original = static_cast<uint64_t>(item.st.st_size);
      info.mtime = item.st.st_mtime;
      s->progress->Begin(item.shownName, item.shownName, info);
    }
  } catch (...) {
    s->stopped = true;
    g_cancellable_cancel(s->cancel);
    return FALSE;
  }
  return TRUE;
}

void OnProgress(goffset current, goffset, gpointer data) {
  auto* s = static_cast<WriteState*>(data);
  try {
    s->progress->Step(static_cast<uint64_t>(current));
  } catch (...) {
    s->stopped = true;
    g_cancellable_cancel(s->cancel);
  }
}

bool IsAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

void WriteCabinet(const std::string& archivePosix, const std::string& archiveShown,
                  const std::vector<arc::SourceItem>& items, bool compress, arc::Progress& progress,
                  arc::Report& report) {
  GPtr<GCabCabinet> cabinet(gcab_cabinet_new());
  GPtr<GCabFolder> folder(gcab_folder_new(compress ? GCAB_COMPRESSION_MSZIP : GCAB_COMPRESSION_NONE));
  uint64_t total = 0;
  std::vector<const arc::SourceItem*> files;
  for (const arc::SourceItem& item : items) {
    if (item.directory) continue;
    // Unreadable files are found here, before anything is written.
    const int fd = open(item.posixPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw Failure(ARCERR_FILE_OPEN, "cannot read the file " + item.shownName + ": " + std::strerror(errno));
    close(fd);
    if (static_cast<uint64_t>(item.st.st_size) >= 0x7FFF8000u)
      throw Failure(ARCERR_NOT_SUPPORT, "too large for a cabinet: " + item.shownName);
    std::string name = item.name;
    for (char& c : name)
      if (c == '/') c = '\\';
    GPtr<GFile> source(g_file_new_for_path(item.posixPath.c_str()));
    GPtr<GCabFile> file(gcab_file_new_with_file(name.c_str(), source.get()));
    guint32 attributes = GCAB_FILE_ATTRIBUTE_ARCH;
    if ((item.st.st_mode & 0200) == 0) attributes |= GCAB_FILE_ATTRIBUTE_RDONLY;
    if (!IsAscii(name)) attributes |= GCAB_FILE_ATTRIBUTE_NAME_IS_UTF;
    gcab_file_set_attributes(file.get(), attributes);
    GDateTime* when = g_date_time_new_from_unix_local(item.st.st_mtime);
    gcab_file_set_date_time(file.get(), when);
    g_date_time_unref(when);
    ErrorFree error;
    if (!gcab_folder_add_file(folder.get(), file.get(), FALSE, nullptr, &error.error))
      throw Failure(ARCERR_CANNOT_WRITE, "cannot add " + item.shownName + ": " + error.Text());
    files.push_back(&item);
    total += static_cast<uint64_t>(item.st.st_size);
  }
  if (files.empty()) throw Failure(ARCERR_NOT_FILENAME, "no files to pack");
  ErrorFree addError;
  if (!gcab_cabinet_add_folder(cabinet.get(), folder.get(), &addError.error))
    throw Failure(ARCERR_CANNOT_WRITE, "cannot make the cabinet: " + addError.Text());

  arc::TempFile temp;
  if (!temp.Open(archivePosix, 0666))
    throw Failure(ARCERR_TMP_OPEN, "cannot create a file beside " + archiveShown + ": " + std::strerror(errno));
  GPtr<GFile> target(g_file_new_for_path(temp.Path().c_str()));
  ErrorFree openError;
  GPtr<GFileIOStream> stream(g_file_open_readwrite(target.get(), nullptr, &openError.error));
  if (!stream) throw Failure(ARCERR_TMP_OPEN, "cannot write " + archiveShown + ": " + openError.Text());
  GPtr<GCancellable> cancel(g_cancellable_new());
  std::vector<arc::SourceItem> ordered;
  for (const arc::SourceItem* f : files) ordered.push_back(*f);
  WriteState state{&progress, &ordered, 0, cancel.get(), false};
  ErrorFree writeError;
  const gboolean ok = gcab_cabinet_write(cabinet.get(), g_io_stream_get_output_stream(G_IO_STREAM(stream.get())),
                                         OnFile, OnProgress, &state, cancel.get(), &writeError.error);
  ErrorFree closeError;
  const gboolean closed = g_io_stream_close(G_IO_STREAM(stream.get()), nullptr, &closeError.error);
  if (state.stopped) throw Failure(ARCERR_USER_CANCEL, "cancelled by the user");
  if (!ok) {
    const bool full = writeError.error != nullptr && writeError.error->domain == G_IO_ERROR &&
                      (writeError.error->code == G_IO_ERROR_NO_SPACE || writeError.error->code == G_IO_ERROR_MESSAGE_TOO_LARGE || std::strstr(writeError.error->message, "too large") != nullptr);
    throw Failure(full ? ARCERR_DISK_SPACE : ARCERR_CANNOT_WRITE, "cannot write " + archiveShown + ": " + writeError.Text());
  }
  if (!closed) throw Failure(ARCERR_CANNOT_WRITE, "cannot write " + archiveShown + ": " + closeError.Text());
  if (!temp.Commit()) throw Failure(arc::WriteErrorCode(errno), "cannot write " + archiveShown);
  for (const arc::SourceItem* f : files)
    report.Member(f->shownName, static_cast<uint64_t>(f->st.st_size), static_cast<uint64_t>(f->st.st_size));
  struct stat st;
  const uint64_t size = stat(archivePosix.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
  report.Totals(files.size(), total, size);
}

}  // namespace cab32
