#include "records/DatabaseMessages.h"

#include <ctime>

#include "platform/Cp1250.h"

namespace vexa {
namespace {

std::string Quoted(const std::string& text) {
    return Cs("„") + text + Cs("“");
}

// "dd.mm.yyyy hh:mm:ss" in local time.
std::string When(std::int64_t time) {
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm local{};
    ::localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &local);
    return text;
}

std::string Who(const std::string& user, const std::string& host, std::int64_t time) {
    return Cs(" uživatel ") + user + Cs(" na počítači ") + host + " (" + When(time) + ")";
}

}  // namespace

std::string DatabaseMessages::Unreachable(const std::string& db, const std::string& server,
                                          const std::string& reason) {
    return Cs("Databáze archivu ") + Quoted(db) + Cs(" na serveru ") + server +
           Cs(" není dostupná: ") + reason;
}

std::string DatabaseMessages::Failed(const std::string& db, const std::string& server,
                                     const std::string& reason) {
    return Cs("Databáze archivu ") + Quoted(db) + Cs(" na serveru ") + server +
           Cs(" změnu odmítla: ") + reason;
}

std::string DatabaseMessages::NewerSchema(const std::string& db, int found, int known) {
    return Cs("Databáze archivu ") + Quoted(db) + Cs(" má tabulky verze ") + std::to_string(found) +
           Cs(", tento program zná nejvýše verzi ") + std::to_string(known) +
           Cs("; je třeba novější verze programu.");
}

std::string DatabaseMessages::NoSchema(const std::string& db, const std::string& user) {
    return Cs("Databáze archivu ") + Quoted(db) + Cs(" ještě nemá tabulky archivu a uživatel ") +
           Quoted(user) +
           Cs(" je v ní nesmí vytvořit. Správce databáze je vytvoří příkazem „vexa-archiv init“ "
              "nebo skriptem, který vypíše příkaz „vexa-archiv schema“.");
}

std::string DatabaseMessages::NotUtf8(const std::string& db, const std::string& encoding) {
    return Cs("Databáze archivu ") + Quoted(db) + Cs(" má kódování ") + encoding +
           Cs("; archiv potřebuje databázi v kódování UTF8.");
}

std::string DatabaseMessages::NulByte() {
    return Cs("Záznam obsahuje znak NUL, který databáze nemůže uložit.");
}

std::string DatabaseMessages::NulByteOnLine(int line) {
    return Cs("Řádek ") + std::to_string(line) +
           Cs(" obsahuje znak NUL, který databáze nemůže uložit.");
}

std::string DatabaseMessages::NotWritten(const std::string& path, const std::string& reason) {
    return Cs("Soubor ") + Cp1250::FromUtf8Lossy(path) + Cs(" se nepodařilo zapsat: ") + reason;
}

std::string DatabaseMessages::NotEmpty(long long records) {
    return Cs("Archiv v databázi už obsahuje záznamy (") + std::to_string(records) +
           Cs("); soubor se k nim přidá jen s volbou --pridat.");
}

std::string DatabaseMessages::ChangedMeanwhile(const std::string& user, const std::string& host,
                                               std::int64_t time) {
    return Cs("Záznam mezitím změnil") + Who(user, host, time) + Cs(". Chcete jej přesto přepsat?");
}

std::string DatabaseMessages::ChangedBeforeRemoval(const std::string& user, const std::string& host,
                                                   std::int64_t time) {
    return Cs("Záznam mezitím změnil") + Who(user, host, time) + Cs(". Chcete jej přesto odebrat?");
}

std::string DatabaseMessages::RemovedMeanwhile(const std::string& user, const std::string& host,
                                               std::int64_t time) {
    return Cs("Záznam mezitím odebral") + Who(user, host, time) + Cs(". Chcete jej přesto uložit?");
}

}  // namespace vexa
