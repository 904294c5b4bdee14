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
        if (end > i)
            m_words.push_back(Fold(typed.substr(i, end - i)));
        i = end;
    }
}

bool TextSearch::Begins(std::string_view text, const std::string& word, char ignored) {
    const auto& fold = FoldTable();
    for (std::size_t start = 0; start < text.size(); ++start) {
        if (start > 0) {
            const char before = text[start - 1];
            if (!IsBlank(static_cast<unsigned char>(before)) && before != '-')
                continue;
        }
        // The word against the text from here: exactly, and skipping the ignored character.
        for (int skip = 0; skip < (ignored != '\0' ? 2 : 1); ++skip) {
            std::size_t t = start;
            std::size_t w = 0;
            while (w < word.size() && t < text.size()) {
                if (skip == 1 && text[t] == ignored) {
                    ++t;
                    continue;
                }
                if (fold[static_cast<unsigned char>(text[t])] !=
                    static_cast<unsigned char>(word[w]))
                    break;
                ++t;
                ++w;
            }
            if (w == word.size())
                return true;
        }
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
