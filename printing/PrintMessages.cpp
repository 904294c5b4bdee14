#include "printing/PrintMessages.h"

#include <cmath>
#include <string>

#include "platform/Cp1250.h"

namespace vexa {

std::string PrintMessages::FromSettings(std::string_view names) {
    return Cs("z nastavení " + std::string(names));
}

namespace {

std::string PortText(std::string_view port, std::string_view device) {
    std::string text = Cs("„") + std::string(port) + Cs("“");
    if (!device.empty() && device != port) {
        text += " (" + std::string(device) + ")";
    }
    return text;
}

}  // namespace

std::string PrintMessages::PortOpenFailed(std::string_view port, std::string_view device,
                                          std::string_view reason) {
    return Cs("Tiskárnu na portu ") + PortText(port, device) + Cs(" nelze otevřít: ") +
           std::string(reason) + Cs(". Nic nebylo vytištěno.");
}

std::string PrintMessages::PortWriteFailed(std::string_view port, std::string_view device,
                                           std::string_view reason) {
    return Cs("Tisk na tiskárnu na portu ") + PortText(port, device) + Cs(" selhal: ") +
           std::string(reason) + Cs(". Stránka nemusí být vytištěna celá.");
}

std::string PrintMessages::PortNotTakingData(std::string_view port, std::string_view device) {
    return Cs("Tiskárna na portu ") + PortText(port, device) +
           Cs(" nepřijímá data (je vypnutá, není ve stavu on-line nebo v ní došel papír). Tisk "
              "byl zastaven; stránka nemusí být vytištěna celá.");
}

std::string PrintMessages::PositionOutOfRange(std::string_view cause, double value) {
    return Cs("Tisk nelze provést: poloha vypočtená ") + std::string(cause) + Cs(" vychází ") +
           ValueText(value) + Cs(", tiskárna přijme jen 0 až 32767. Nic nebylo vytištěno.");
}

std::string PrintMessages::ChildrenDoNotFit(int children, int rows, int failingRow,
                                            std::string_view settings, double value) {
    return Cs("Tisk nelze provést: děti se na stránku nevejdou. Počet dětí ") +
           std::to_string(children) + Cs(" (počet řádků ") + std::to_string(rows) +
           Cs(") při nastavení ") + std::string(settings) + Cs(" dává pro ") +
           std::to_string(failingRow) + Cs(". řádek polohu ") + ValueText(value) +
           Cs(", tiskárna přijme jen 0 až 32767. Nic nebylo vytištěno.");
}

std::string PrintMessages::NoBirthDate(std::string_view rc) {
    return Cs("Z rodného čísla „") + std::string(rc) +
           Cs("“ nelze odvodit datum narození. Data nebyla vytištěna; opravte rodné číslo.");
}

std::string PrintMessages::ValueText(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e15) {
        return Cs("příliš velké číslo");
    }
    // The default rounding mode rounds halves to even, as the jobs do.
    return std::to_string(static_cast<long long>(std::nearbyint(value)));
}

}  // namespace vexa
