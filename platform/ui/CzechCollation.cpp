#include "platform/ui/CzechCollation.h"

#include "platform/ui/UiText.h"

namespace vexa {
namespace {

// The collation puts "/" before the digits and the digits before the letters, as their bytes
// stand: birth numbers are plain too.
bool IsPlainByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '/';
}

unsigned char Capital(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

}  // namespace

CzechCollation::CzechCollation() : m_collator(QLocale(QLocale::Czech, QLocale::Czechia)) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

// ASCII letters, digits and "/" only, and no "ch" in any letter case (Czech's one two-letter
// letter).
bool CzechCollation::IsPlain(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!IsPlainByte(c))
            return false;
        if ((c == 'c' || c == 'C') && i + 1 < text.size() &&
            (text[i + 1] == 'h' || text[i + 1] == 'H'))
            return false;
    }
    return true;
}

std::uint64_t CzechCollation::PlainPrefix(std::string_view text) {
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const unsigned byte = i < text.size() ? Capital(static_cast<unsigned char>(text[i])) : 0u;
        prefix = (prefix << 8) | byte;
    }
    return prefix;
}

int CzechCollation::ComparePlain(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d =
            Capital(static_cast<unsigned char>(a[i])) - Capital(static_cast<unsigned char>(b[i]));
        if (d != 0)
            return d;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

QCollatorSortKey CzechCollation::FullKey(std::string_view text) const {
    return m_collator.sortKey(UiText::ToQt(text));
}

int CzechCollation::Compare(std::string_view a, std::string_view b) const {
    if (IsPlain(a) && IsPlain(b))
        return ComparePlain(a, b);
    return FullKey(a).compare(FullKey(b));
}

int CzechCollation::CompareTexts(std::string_view a, std::string_view b) const {
    return m_collator.compare(UiText::ToQt(a), UiText::ToQt(b));
}

}  // namespace vexa
