#pragma once

#include <string>
#include <string_view>

namespace vexa {

// The system's reason for a failure, as the user reads it: the words for an error number in
// the user's language (the locale the environment names), as Windows-1250 text. Where the
// translation cannot be held by Windows-1250 (or no translation is installed), the system's
// untranslated English words are given instead, so a Czech message never carries mangled
// letters.
class SystemError {
  public:
    static std::string Text(int err);
    // A message a library wrote in the process's own locale (its character set as the process
    // has set it), as Windows-1250: "?" for each character that does not fit.
    static std::string LocaleText(std::string_view text);
};

}  // namespace vexa
