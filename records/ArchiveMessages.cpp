#include "records/ArchiveMessages.h"

#include "platform/Cp1250.h"

namespace vexa {
std::string ArchiveMessages::NotOverwritten() {
    return Cs("soubor existuje, ale nepodařilo se jej načíst, a proto se nepřepisuje");
}

std::string ArchiveMessages::LocationUnknown() {
    return Cs(
        "nastavení instalace se nepodařilo načíst, a proto není známo, kde archiv je; "
        "v tomto běhu se archiv neukládá");
}

std::string ArchiveMessages::TooManyChildren(int line, int maxChildren) {
    return Cs("řádek ") + std::to_string(line) + Cs(" obsahuje více než ") +
           std::to_string(maxChildren) + Cs(" dětí");
}

}  // namespace vexa
