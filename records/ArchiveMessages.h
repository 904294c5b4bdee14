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
};

}  // namespace vexa
