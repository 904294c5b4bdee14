#pragma once

#include <string>
#include <string_view>

namespace vexa {

// Sort keys that put Windows-1250 texts in Czech alphabetical order: letter case does not
// matter, accented vowels sort with their base letter, Č Ř Š Ž follow C R S Z. Texts that
// compare equal that way are ordered by their bytes. Comparing two keys as byte strings gives
// the order, so a list can compute each key once and sort many rows quickly.
class CollationKey {
  public:
    static std::string Make(std::string_view cp1250);
    static void Append(std::string& out, std::string_view cp1250);
};

}  // namespace vexa
