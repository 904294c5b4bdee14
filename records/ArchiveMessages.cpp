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

std::string ArchiveMessages::JournalUnreadable(const std::string& name, const std::string& reason) {
    return Cs("deník ") + name + Cs(" nelze přečíst: ") + reason;
}

std::string ArchiveMessages::JournalForeign(const std::string& name) {
    return Cs("deník ") + name +
           Cs(" navazuje na jiný obsah tohoto souboru (například před jeho obnovením ze "
              "zálohy), a proto se nepoužije ani nesmaže");
}

std::string ArchiveMessages::JournalLineUnusable(const std::string& name, int line) {
    return Cs("řádek ") + std::to_string(line) + Cs(" deníku ") + name + Cs(" nelze použít");
}

}  // namespace vexa
