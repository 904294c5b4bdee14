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

std::string PrintMessages::PortNoRights(std::string_view port, std::string_view device,
                                        std::string_view group) {
    const std::string owner =
        group.empty() ? Cs("skupiny, které zařízení patří")
                      : Cs("skupiny „") + std::string(group) + Cs("“, které zařízení patří");
    return Cs("Tiskárnu na portu ") + PortText(port, device) +
           Cs(" nelze otevřít: program nemá právo do zařízení zapisovat. Pomůže, když správce "
              "počítače přidá uživatele do ") +
           owner +
           Cs(" (platí od příštího přihlášení), nebo tisk přes tiskovou frontu systému (port "
              "„tiskárna:…“ v nastavení). Nic nebylo vytištěno.");
}

namespace {

std::string Quoted(std::string_view text) {
    return Cs("„") + std::string(text) + Cs("“");
}

}  // namespace

std::string PrintMessages::QueueMissing(std::string_view queue) {
    return Cs("Tisková fronta ") + Quoted(queue) +
           Cs(" v systému není (byla odebrána nebo přejmenována). V nastavení zvolte jinou "
              "tiskárnu. Nic nebylo vytištěno.");
}

std::string PrintMessages::QueueServiceDown(std::string_view queue) {
    return Cs("Na tiskovou frontu ") + Quoted(queue) +
           Cs(" nelze tisknout: tisková služba systému (CUPS) neběží. Nic nebylo vytištěno.");
}

std::string PrintMessages::QueueRefused(std::string_view queue, std::string_view reason) {
    return Cs("Tisková služba odmítla tisk na frontu ") + Quoted(queue) + ": " +
           std::string(reason) + Cs(". Nic nebylo vytištěno.");
}

std::string PrintMessages::QueueNotPrinted(std::string_view queue, std::string_view reason) {
    return Cs("Tisková fronta ") + Quoted(queue) + Cs(" stránku nevytiskla (") +
           std::string(reason) +
           Cs("). Tisk byl zrušen, aby se stránka nevytiskla později na jiný pas.");
}

std::string PrintMessages::UnprintableCharacter(std::string_view field, unsigned char character) {
    static const char kHex[] = "0123456789ABCDEF";
    const std::string code{kHex[character >> 4], kHex[character & 0xF]};
    const char32_t cp = Cp1250::CharOf(character);
    const std::string what =
        cp < 0x20 || (cp >= 0x7F && cp < 0xA0)
            ? Cs("řídicí znak (kód ") + code + Cs("), který by tiskárna provedla jako příkaz")
            : Cs("znak ") + Quoted(std::string(1, static_cast<char>(character))) +
                  Cs(", který tiskárna nemá");
    return Cs("Tisk nelze provést: pole ") + Quoted(Cs(field)) + Cs(" obsahuje ") + what +
           Cs(". Nic nebylo vytištěno.");
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
