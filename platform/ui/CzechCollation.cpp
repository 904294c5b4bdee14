#include "platform/ui/CzechCollation.h"

#include "platform/ui/UiText.h"

namespace vexa {
namespace {

bool IsPlainByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// ASCII letters and digits only, and no "ch" in any letter case (Czech's one two-letter
// letter).
bool IsPlain(std::string_view text) {
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

}  // namespace

std::uint64_t CzechCollation::Key::PlainPrefix() const {
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const auto byte = i < m_text.size() ? static_cast<unsigned char>(m_text[i]) : 0u;
        prefix = (prefix << 8) | byte;
    }
    return prefix;
}

CzechCollation::CzechCollation() : m_collator(QLocale(QLocale::Czech, QLocale::Czechia)) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

CzechCollation::Key CzechCollation::MakeKey(std::string_view cp1250) const {
    Key key;
    key.m_text.assign(cp1250);
    key.m_plain = IsPlain(cp1250);
    if (key.m_plain) {
        for (char& c : key.m_text) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return key;
}

const QCollatorSortKey& CzechCollation::Full(const Key& key) const {
    if (!key.m_full)
        key.m_full = m_collator.sortKey(UiText::ToQt(key.m_text));
    return *key.m_full;
}

void CzechCollation::Complete(const Key& key) const {
    if (!key.m_plain)
        Full(key);
}

int CzechCollation::Compare(const Key& a, const Key& b) const {
    if (a.m_plain && b.m_plain)
        return a.m_text.compare(b.m_text);
    return Full(a).compare(Full(b));
}

int CzechCollation::CompareTexts(std::string_view a, std::string_view b) const {
    return m_collator.compare(UiText::ToQt(a), UiText::ToQt(b));
}

}  // namespace vexa
