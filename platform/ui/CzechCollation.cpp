#include "platform/ui/CzechCollation.h"

#include "platform/ui/UiText.h"

namespace vexa {

CzechCollation::CzechCollation() : m_collator(QLocale(QLocale::Czech, QLocale::Czechia)) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

QCollatorSortKey CzechCollation::Key(std::string_view cp1250) const {
    return m_collator.sortKey(UiText::ToQt(cp1250));
}

}  // namespace vexa
