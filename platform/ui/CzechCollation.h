#pragma once

#include <QCollator>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// Czech alphabetical order of Windows-1250 texts, as the platform's Czech collation (ICU) gives
// it: CH follows H, Č Ř Š Ž follow C R S Z, accents weigh as Czech weighs them, and letter case
// does not count. Comparing two keys gives the order, so a list makes each row's key once and
// sorts many rows quickly.
//
// Most texts of an archive list (document numbers, many names) are plain: ASCII letters and
// digits with no "ch". The collation orders plain texts exactly as their capitals' bytes, so
// their keys are those capitals; the collation's own key is made only for a text that is not
// plain, or when a plain text meets one that is not.
class CzechCollation {
  public:
    class Key {
      public:
        bool Plain() const { return m_plain; }
        // The first eight bytes of a plain key as a number: plain keys whose prefixes differ
        // compare as their prefixes do.
        std::uint64_t PlainPrefix() const;

      private:
        friend class CzechCollation;
        std::string m_text;  // Windows-1250; the capitals for a plain text
        bool m_plain = false;
        mutable std::optional<QCollatorSortKey> m_full;
    };

    CzechCollation();
    Key MakeKey(std::string_view cp1250) const;
    // Makes the collation's own key of a text that is not plain now, so that copies of `key`
    // share it.
    void Complete(const Key& key) const;
    // Negative, zero or positive as `a` sorts before, with or after `b`.
    int Compare(const Key& a, const Key& b) const;
    // The collation's own comparison, for checking the plain shortcut.
    int CompareTexts(std::string_view a, std::string_view b) const;

  private:
    const QCollatorSortKey& Full(const Key& key) const;
    QCollator m_collator;
};

}  // namespace vexa
