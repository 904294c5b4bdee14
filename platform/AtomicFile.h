#pragma once

#include <string>
#include <string_view>

#include "platform/TextFiles.h"

namespace vexa {

// Replaces a file safely, written piece by piece: the pieces go to a temporary file in the same
// directory, which Commit flushes to the disk and renames over the old file. Until Commit has
// succeeded the old file stays as it was; a writer dropped without Commit removes its
// temporary file. The temporary file ("<file>.tmp-XXXXXX") is locked (flock) while it is
// written; after a successful Commit, temporary files of the same file that nobody holds
// locked (left by a save that was killed) are removed.
class AtomicFile {
  public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // A file that is there keeps its mode and group; a new one is made as `how` says.
    FileResult Open(const std::string& path, const NewFiles& how = {});
    FileResult Write(std::string_view bytes);
    // Flushes what was written to the disk, without replacing the file yet.
    FileResult Flush();
    FileResult Commit();

  private:
    FileResult Abandon(int err);

    std::string m_path;
    std::string m_tmp;
    int m_fd = -1;
};

}  // namespace vexa
