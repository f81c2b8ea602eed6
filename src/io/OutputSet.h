#pragma once

#include "base/Result.h"
#include "io/OutputFile.h"

#include <memory>
#include <string>
#include <string_view>

namespace quendrix {

/// The outputs of one run, put in place all together or not at all.
///
/// Every target is checked when it is added, before anything is computed: its kind (a folder
/// or a socket is refused), that the user may write it, that its folder can take a new file,
/// and that it is neither an input nor an earlier output under any name or link (dangling
/// links are followed too). Each content is then written in full to an unnamed temporary file
/// beside its target. Only commit() changes what a user sees: it first writes the devices and
/// FIFOs, which cannot be replaced, then renames each temporary file over its target. A set
/// that is destroyed without a successful commit() leaves every old file as it was, and a
/// folder it made is removed again.
class OutputSet {
  public:
    explicit OutputSet(OutputFileOptions options = {});
    ~OutputSet();
    OutputSet(const OutputSet&) = delete;
    OutputSet& operator=(const OutputSet&) = delete;

    /// A file no output may replace, named in the refusal ("file 1").
    void addInput(const std::string& name, const std::string& path);

    /// Checks an output and returns its index. `name` is how a refusal calls it when it is the
    /// one that would replace another ("--predictions"), `role` when it is the one replaced
    /// ("the -o output"). With `createFolder` the target's folder may be missing as long as its
    /// parent exists; it is made by the first stage() into it.
    Result<size_t> add(const std::string& name, const std::string& role, const std::string& path,
                       bool createFolder = false);

    /// Writes the content of output `index` to its temporary file. A device or a FIFO keeps the
    /// producer until commit(), which runs it, so it must stay valid until then.
    Status stage(size_t index, OutputProducer produce);
    Status stage(size_t index, std::string bytes);

    /// Puts every staged output in place. A failure while devices are written leaves every file
    /// as it was; a failure during the renames (which only a failing file system or a kill can
    /// cause) is reported with the outputs already replaced.
    Status commit();

  private:
    struct Target;
    OutputFileOptions options_;
    std::vector<std::unique_ptr<Target>> targets_;
    std::vector<std::pair<std::string, FileIdentity>> inputs_;
    std::vector<std::string> madeFolders_;
    bool committed_ = false;
};

} // namespace quendrix
