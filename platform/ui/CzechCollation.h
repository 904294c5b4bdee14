#pragma once

#include <QCollator>
#include <string_view>

namespace vexa {

// Czech alphabetical order of Windows-1250 texts, as the platform's Czech collation (ICU) gives
// it: CH follows H, Č Ř Š Ž follow C R S Z, accents weigh as Czech weighs them, and letter case
// does not count. Comparing two keys gives the order, so a list computes each row's key once
// and sorts many rows quickly.
class CzechCollation {
  public:
    CzechCollation();
    QCollatorSortKey Key(std::string_view cp1250) const;

  private:
    QCollator m_collator;
};

}  // namespace vexa
