#include "platform/ui/UiText.h"

#include "platform/Cp1250.h"

namespace vexa {

QString UiText::ToQt(std::string_view cp1250) {
    QString out;
    out.reserve(static_cast<qsizetype>(cp1250.size()));
    for (char c : cp1250) {
        // Every Windows-1250 character lies in the Basic Multilingual Plane.
        out.append(QChar(static_cast<char16_t>(Cp1250::CharOf(static_cast<unsigned char>(c)))));
    }
    return out;
}

std::string UiText::FromQt(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        if (auto byte = Cp1250::ByteOf(ch.unicode())) {
            out.push_back(static_cast<char>(*byte));
        }
    }
    return out;
}

std::string UiText::PathText(const std::string& nativePath) {
    if (auto text = Cp1250::FromUtf8(nativePath))
        return *text;
    return FromQt(QString::fromLocal8Bit(nativePath.c_str()));
}

bool UiText::IsAllowedInput(char32_t cp) {
    if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0))
        return false;
    return Cp1250::ByteOf(cp).has_value();
}

}  // namespace vexa
