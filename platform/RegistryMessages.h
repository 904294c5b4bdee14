#pragma once

#include <string>

namespace vexa {

// Why a registry file was not taken as it is, in Czech (Windows-1250). Each stands where the
// system's reason would, inside the window's sentence about the file.
class RegistryMessages {
  public:
    // The file does not begin with a header line of the registry export format.
    static std::string NotARegistryFile();
    // A line that is neither a key, a value, a comment nor empty.
    static std::string LineNotUnderstood(long long line);
    // A key nested deeper than the program reads.
    static std::string KeyTooDeep(long long line, int maxDepth);
    // A character Windows-1250 cannot hold: the values were read, the file is not rewritten.
    static std::string NotWindows1250();
};

}  // namespace vexa
