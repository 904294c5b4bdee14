#pragma once

#include <string>

namespace vexa {

// The system's reason for a failure, as the user reads it: the words for an error number in
// the user's language (the locale the environment names), as Windows-1250 text. Where the
// translation cannot be held by Windows-1250 (or no translation is installed), the system's
// untranslated English words are given instead, so a Czech message never carries mangled
// letters.
class SystemError {
  public:
    static std::string Text(int err);
};

}  // namespace vexa
