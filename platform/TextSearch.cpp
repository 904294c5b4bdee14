#include "platform/TextSearch.h"

#include <array>

#include "platform/Cp1250.h"

namespace vexa {
namespace {

// Every Windows-1250 byte without its accent, in capitals.
std::array<unsigned char, 256> MakeFoldTable() {
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[static_cast<std::size_t>(b)] = Cp1250::ToUpper(static_cast<unsigned char>(b));
    const struct {
        const char* letters;  // UTF-8
        char base;
    } groups[] = {{"ÁÂĂÄĄáâăäą", 'A'}, {"ĆÇČćçč", 'C'}, {"ĎĐďđ", 'D'}, {"ÉĘËĚéęëě", 'E'},
                  {"ÍÎíî", 'I'},       {"ĹĽŁĺľł", 'L'}, {"ŃŇńň", 'N'}, {"ÓÔŐÖóôőö", 'O'},
                  {"ŔŘŕř", 'R'},       {"ŚŠŞśšş", 'S'}, {"ŤŢťţ", 'T'}, {"ŮÚŰÜůúűü", 'U'},
                  {"Ýý", 'Y'},         {"ŹŽŻźžż", 'Z'}};
    for (const auto& group : groups) {
        for (char c : Cs(group.letters))
            table[static_cast<unsigned char>(c)] = static_cast<unsigned char>(group.base);
    }
    return table;
}

const std::array<unsigned char, 256>& FoldTable() {
    static const std::array<unsigned char, 256> table = MakeFoldTable();
    return table;
}

bool IsBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == 0xA0;
}

}  // namespace

unsigned char TextSearch::Fold(unsigned char c) {
    return FoldTable()[c];
}

std::string TextSearch::Fold(std::string_view text) {
    std::string folded(text);
    for (char& c : folded)
        c = static_cast<char>(Fold(static_cast<unsigned char>(c)));
    return folded;
}

TextSearch::TextSearch(std::string_view typed) {
    std::size_t i = 0;
    while (i < typed.size()) {
        while (i < typed.size() && IsBlank(static_cast<unsigned char>(typed[i])))
            ++i;
        std::size_t end = i;
        while (end < typed.size() && !IsBlank(static_cast<unsigned char>(typed[end])))
            ++end;
        if (end > i) {
            m_words.push_back(Fold(typed.substr(i, end - i)));
            m_needed |= InitialBit(static_cast<unsigned char>(m_words.back()[0]));
        }
        i = end;
    }
}

namespace {

// The rest of `word` (from `w`) against `text` from `t`; `ignored` characters of the text may
// be skipped when it is not NUL.
bool RestMatches(std::string_view text, std::size_t t, const std::string& word, std::size_t w,
                 char ignored) {
    const auto& fold = FoldTable();
    while (w < word.size()) {
        if (t >= text.size())
            return false;
        if (ignored != '\0' && text[t] == ignored) {
            ++t;
            continue;
        }
        if (fold[static_cast<unsigned char>(text[t])] != static_cast<unsigned char>(word[w]))
            return false;
        ++t;
        ++w;
    }
    return true;
}

}  // namespace

bool TextSearch::Begins(std::string_view text, const std::string& word, char ignored) {
    // A million rows are tried at each key: only the starts of words are looked at, found by a
    // loop that rarely branches elsewhere.
    const auto& fold = FoldTable();
    const auto first = static_cast<unsigned char>(word[0]);
    const std::size_t n = text.size();
    std::size_t start = 0;
    while (start < n) {
        if (fold[static_cast<unsigned char>(text[start])] == first &&
            (RestMatches(text, start + 1, word, 1, '\0') ||
             (ignored != '\0' && RestMatches(text, start + 1, word, 1, ignored))))
            return true;
        while (start < n && !IsBreak(static_cast<unsigned char>(text[start])))
            ++start;
        ++start;  // past the blank or hyphen: the next word starts here
    }
    return false;
}

bool TextSearch::Narrows(const TextSearch& wider) const {
    // Each earlier word must still be there as the start of a word typed now: then every row
    // found now was found before.
    if (m_words.size() < wider.m_words.size())
        return false;
    for (std::size_t i = 0; i < wider.m_words.size(); ++i) {
        if (!m_words[i].starts_with(wider.m_words[i]))
            return false;
    }
    return true;
}

}  // namespace vexa
