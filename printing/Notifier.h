#pragma once

#include <string>

namespace vexa {

// Where the print jobs and the printer port tell the user why something could not be done.
// The window shows the text in a warning box; tests collect it. Texts are Windows-1250.
class Notifier {
  public:
    virtual ~Notifier() = default;
    virtual void Warn(const std::string& message) = 0;
};

}  // namespace vexa
