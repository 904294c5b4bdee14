#pragma once

#include <QCollator>
#include <cstdint>
#include <string_view>

namespace vexa {

// Czech alphabetical order of Windows-1250 texts, as the platform's Czech collation (ICU) gives
// it: CH follows H, Č Ř Š Ž follow C R S Z, accents weigh as Czech weighs them, and letter case
// does not count.
//
// Most texts of an archive list (document numbers, birth numbers, many names) are plain: ASCII
// letters, digits and "/", with no "ch". The collation orders plain texts exactly as their
// capitals' bytes, so a list compares two plain texts by their capitals (mostly by the first eight
// of them, one number) and needs the collation's own key only for a text that is not plain, or for
// a plain text that meets one.
class CzechCollation {
  public:
    CzechCollation();

    static bool IsPlain(std::string_view cp1250);
    // The capitals of a plain text's first eight bytes as a number: plain texts whose prefixes
    // differ compare as their prefixes do.
    static std::uint64_t PlainPrefix(std::string_view cp1250);
    // Two plain texts by their capitals.
    static int ComparePlain(std::string_view a, std::string_view b);
    // The collation's own key of a text.
    QCollatorSortKey FullKey(std::string_view cp1250) const;
    // Negative, zero or positive as `a` sorts before, with or after `b`: plain texts by their
    // capitals, the others by the collation.
    int Compare(std::string_view a, std::string_view b) const;
    // The collation's own comparison, for checking the plain shortcut.
    int CompareTexts(std::string_view a, std::string_view b) const;

  private:
    QCollator m_collator;
};

}  // namespace vexa
