#pragma once

#include "base/Result.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace quendrix {

/// Buffered bytes on their way into an output file.
class OutputSink {
  public:
    explicit OutputSink(int fd) : fd_(fd) {}
    OutputSink(const OutputSink&) = delete;
    OutputSink& operator=(const OutputSink&) = delete;

    /// Appends bytes; false once a write has failed (errno tells why).
    bool write(std::string_view bytes);
    bool flush();
    /// Stops the save for a reason of the content's own (an input that turned out unreadable),
    /// which the save then reports as it stands.
    void fail(std::string reason);
    const std::string& reason() const { return reason_; }

  private:
    int fd_;
    std::string buffer_;
    bool failed_ = false;
    std::string reason_;
};

/// Produces a file's content into the sink; false stops the save.
using OutputProducer = std::function<bool(OutputSink&)>;

/// How the writer keeps a replaced file whole until the new one is complete.
struct OutputFileOptions {
    /// Write into an unnamed temporary file (linked in only when complete) where the file
    /// system offers one, so that not even a killed process leaves a stray file behind.
    bool unnamedTemporary = true;
};

/// Writes every file the program saves (one output; OutputSet puts several in place together).
/// A new or regular file is replaced only once all of the content is written: through a
/// temporary file beside it that is renamed over it, then synced with its folder; on any
/// failure, or SIGINT, SIGTERM or SIGHUP during the write, the temporary file is removed and an
/// existing file is left as it was. A device or FIFO is written through as it is, a socket
/// refused; links are followed, so a link stays a link. A file the user may not write is
/// refused, even where renaming over it would be allowed. A file size limit is reported like a
/// full disk.
Status writeOutputFile(const std::string& path, const OutputProducer& produce,
                       OutputFileOptions options = {});
Status writeOutputFile(const std::string& path, std::string_view bytes,
                       OutputFileOptions options = {});

/// A file as the system knows it (device and inode), to tell whether two paths, through links
/// or hard links, name the same file.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

/// The identity of the file at `path` after following links; none if there is no such file.
std::optional<FileIdentity> fileIdentity(const std::string& path);

} // namespace quendrix
