#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vexa {

// The one place where the program's Windows-1250 texts meet the toolkit's QString.
class UiText {
  public:
    static QString ToQt(std::string_view cp1250);
    // Characters Windows-1250 cannot hold are left out.
    static std::string FromQt(const QString& text);
    // A file path (native, UTF-8) as the user reads it in a message.
    static std::string PathText(const std::string& nativePath);
    // True for a character a text box can take: one Windows-1250 can hold, not a control
    // character.
    static bool IsAllowedInput(char32_t cp);
};

}  // namespace vexa
