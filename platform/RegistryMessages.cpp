#include "platform/RegistryMessages.h"

#include "platform/Cp1250.h"

namespace vexa {

std::string RegistryMessages::NotARegistryFile() {
    return Cs("soubor nezačíná řádkem REGEDIT4 ani Windows Registry Editor Version 5.00");
}

std::string RegistryMessages::LineNotUnderstood(long long line) {
    return Cs("řádek ") + std::to_string(line) + Cs(" nemá tvar zápisu registru");
}

std::string RegistryMessages::KeyTooDeep(long long line, int maxDepth) {
    return Cs("klíč na řádku ") + std::to_string(line) + Cs(" je vnořen hlouběji než ") +
           std::to_string(maxDepth) + Cs(" úrovní");
}

std::string RegistryMessages::NotWindows1250() {
    return Cs(
        "obsahuje znaky, které kódování Windows-1250 neumí zapsat; hodnoty byly načteny, "
        "ale soubor se nepřepisuje");
}

}  // namespace vexa
