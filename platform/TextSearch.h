#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// Finding rows by what a clerk types: the typed words, each compared with the start of a
// column's text (or of a word inside it) with letter case and accents ignored, so "novak"
// finds "NOVÁK" and "dvor" finds "DVOŘÁKOVÁ". Texts are Windows-1250.
class TextSearch {
  public:
    // The typed text; words are separated by blanks.
    explicit TextSearch(std::string_view typed);

    bool Empty() const { return m_words.empty(); }
    // True when every typed word begins the text of some column (`text(column)`), or a word
    // inside it (after a blank or a hyphen). The text of `looseColumn` is also searched without
    // the character `loose`: the birth number without its "/" (so "8506121234" finds
    // "850612/1234").
    template <typename ColumnText>
    bool Matches(int columns, ColumnText&& text, int looseColumn = -1, char loose = '\0') const {
        for (const std::string& word : m_words) {
            bool found = false;
            for (int c = 0; c < columns && !found; ++c)
                found = Begins(text(c), word, c == looseColumn ? loose : '\0');
            if (!found)
                return false;
        }
        return true;
    }
    // The quick check before Matches: the initials of the words of a row's texts as a mask
    // (InitialsOf), of which a row this search matches has every bit of Needed().
    template <typename ColumnText>
    static std::uint32_t InitialsOf(int columns, ColumnText&& text) {
        std::uint32_t mask = kKnown;
        for (int c = 0; c < columns; ++c) {
            const std::string_view t = text(c);
            bool wordStart = true;
            for (char ch : t) {
                const auto byte = static_cast<unsigned char>(ch);
                if (IsBreak(byte)) {
                    wordStart = true;
                } else if (wordStart) {
                    mask |= InitialBit(Fold(byte));
                    wordStart = false;
                }
            }
        }
        return mask;
    }
    std::uint32_t Needed() const { return m_needed; }
    // A mask InitialsOf never gives: a row whose initials are not known yet.
    static constexpr std::uint32_t kUnknown = 0;

    // True when every row this search matches is also matched by `wider`, whose words were
    // typed before: each of its words begins one of these.
    bool Narrows(const TextSearch& wider) const;

    // A character without its accent and in capitals ("ř" -> "R"); other characters stay.
    static unsigned char Fold(unsigned char c);
    static std::string Fold(std::string_view text);

  private:
    static constexpr std::uint32_t kKnown = 1u << 31;
    // A letter has a bit of its own, digits share four, everything else one.
    static std::uint32_t InitialBit(unsigned char folded) {
        if (folded >= 'A' && folded <= 'Z')
            return 1u << (folded - 'A');
        if (folded >= '0' && folded <= '9')
            return 1u << (26 + (folded - '0') / 3);
        return 1u << 30;
    }
    static bool IsBreak(unsigned char c) { return c == ' ' || c == '\t' || c == 0xA0 || c == '-'; }

    // `word` (folded) begins `text` or a word inside it; `ignored` characters of `text` may
    // be skipped.
    static bool Begins(std::string_view text, const std::string& word, char ignored);

    std::vector<std::string> m_words;  // folded
    std::uint32_t m_needed = 0;
};

}  // namespace vexa
