#pragma once

#include <string>

namespace vexa {

// The archive's own reasons for refusing to load or save, in Czech (Windows-1250); they stand
// where the system's reason would, inside the window's sentence about the archive file.
class ArchiveMessages {
  public:
    // Save refuses to overwrite a file that exists but could not be loaded.
    static std::string NotOverwritten();
    // The installation's settings could not be read, so where the archive lives is unknown.
    static std::string LocationUnknown();
    // A line of the file holds more children than a record can keep.
    static std::string TooManyChildren(int line, int maxChildren);
    // The journal `name` beside the archive cannot be read (the system's `reason`).
    static std::string JournalUnreadable(const std::string& name, const std::string& reason);
    // The journal continues another Archive.db than the one there: it is neither used nor
    // removed.
    static std::string JournalForeign(const std::string& name);
    // A line of the journal checks but cannot be applied to the records.
    static std::string JournalLineUnusable(const std::string& name, int line);
};

}  // namespace vexa
