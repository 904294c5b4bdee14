#include "printing/DataPageJob.h"

#include <string>

#include "printing/PositionPlan.h"
#include "printing/PrintMessages.h"
#include "printing/Printer.h"
#include "records/ClientsDataCls.h"
#include "settings/Config.h"
#include "settings/Misc.h"

namespace vexa {

namespace {

constexpr std::string_view kLineEnd{"\r\n", 2};

// The authority starts one character (6/60 inch at 10 cpi) further left for every character
// beyond the twelfth, so that a long name still ends inside its box.
int AuthorityCorrection(const std::string& authority) {
    const int length = static_cast<int>(authority.size());
    return length > 12 ? (length - 12) * 6 : 0;
}

// The derived items of the birth number. An empty birth date means none could be derived.
struct Derived {
    std::string BirthDate;
    std::string Sex;
};

Derived Derive(const ClientsDataCls& record) {
    return {Misc::GetBirthDateFromRC(record.rc), Misc::IsMaleRC(record.rc) ? "M" : "F"};
}

}  // namespace

DataPageJob::DataPageJob(const Config& config, PortOpener& opener, Notifier& notifier)
    : m_config(config), m_opener(opener), m_notifier(notifier) {}

bool DataPageJob::PrintDataPage(const ClientsDataCls& record) {
    if (m_config.Number(cfg::SmerTisku) == 0.0) {
        return PrintDataPageNormal(record);
    }
    return PrintDataPageReverse(record);
}

bool DataPageJob::PrintDataPageNormal(const ClientsDataCls& record) {
    const Derived derived = Derive(record);
    if (derived.BirthDate.empty()) {
        m_notifier.Warn(PrintMessages::NoBirthDate(record.rc));
        return false;
    }
    const std::string docNumber = Printer::ToLatin2(record.CisloPasu);
    const std::string surname = Printer::ToLatin2(record.Prijmeni);
    const std::string firstName = Printer::ToLatin2(record.Jmeno);
    const std::string place = Printer::ToLatin2(record.MistoNarozeni);
    const std::string authority = Printer::ToLatin2(record.Vydavatel);

    // The shift is subtracted for a booklet inserted the normal way.
    const Config& c = m_config;
    PositionPlan plan;
    using M = PrintMessages;
    const int v = plan.Place(c.Number(cfg::GlobVertNS) - c.Number(cfg::VertShift),
                             M::Cs("z nastavení GlobVertNS a VertShift"));
    const int h = plan.Place(c.Number(cfg::GlobHorzNS) - c.Number(cfg::HorzShift),
                             M::Cs("z nastavení GlobHorzNS a HorzShift"));
    const int h1 = plan.Place(h + c.Number(cfg::TabHorz1NS),
                              M::Cs("z nastavení GlobHorzNS, HorzShift a TabHorz1NS"));
    const int h2 = plan.Place(h + c.Number(cfg::TabHorz2NS),
                              M::Cs("z nastavení GlobHorzNS, HorzShift a TabHorz2NS"));
    const int docRow =
        plan.Place(v + 30.0, M::Cs("z nastavení GlobVertNS a VertShift (číslo pasu)"));
    const int authorityColumn =
        plan.Place(h2 - static_cast<double>(AuthorityCorrection(authority)),
                   M::Cs("z nastavení GlobHorzNS, HorzShift, TabHorz2NS a z délky vydavatele (") +
                       std::to_string(authority.size()) + M::Cs(" znaků)"));
    if (!plan.Ok()) {
        m_notifier.Warn(plan.Problem());
        return false;
    }

    Printer printer(m_config, m_opener);
    if (!printer.OpenPort()) {
        m_notifier.Warn(printer.ErrorMessage());
        return false;
    }
    // Rows follow one another by CR LF at 90/360 inch: the document number at V + 30, then
    // back up to V, surname V + 90, first name V + 180, birth date and number V + 360, sex and
    // place V + 450, issue date and authority V + 540, expiry date V + 630.
    printer.SetVertPos(docRow);
    printer.SetHorzPos(h2);
    printer.PrintText(docNumber);
    printer.PutString(kLineEnd);
    printer.SetVertPos(v);
    printer.PutString(kLineEnd);
    printer.SetHorzPos(h);
    printer.PrintText(surname);
    printer.PutString(kLineEnd);
    printer.SetHorzPos(h);
    printer.PrintText(firstName);
    printer.PutString(kLineEnd);
    printer.PutString(kLineEnd);
    printer.SetHorzPos(h);
    printer.PrintText(derived.BirthDate);
    printer.SetHorzPos(h2);
    printer.PrintText(record.rc);
    printer.PutString(kLineEnd);
    printer.SetHorzPos(h);
    printer.PrintText(derived.Sex);
    printer.SetHorzPos(h1);
    printer.PrintText(place);
    printer.PutString(kLineEnd);
    printer.SetHorzPos(h);
    printer.PrintText(record.DatumVydani);
    printer.SetHorzPos(authorityColumn);
    printer.PrintText(authority);
    printer.PutString(kLineEnd);
    printer.SetHorzPos(h);
    printer.PrintText(record.Platnost);
    printer.PutString(kLineEnd);
    if (!printer.ClosePort()) {
        m_notifier.Warn(printer.ErrorMessage());
        return false;
    }
    return true;
}

bool DataPageJob::PrintDataPageReverse(const ClientsDataCls& record) {
    const Derived derived = Derive(record);
    if (derived.BirthDate.empty()) {
        m_notifier.Warn(PrintMessages::NoBirthDate(record.rc));
        return false;
    }
    const std::string docNumber = Printer::ToLatin2(record.CisloPasu);
    const std::string surname = Printer::ToLatin2(record.Prijmeni);
    const std::string firstName = Printer::ToLatin2(record.Jmeno);
    const std::string place = Printer::ToLatin2(record.MistoNarozeni);
    const std::string authority = Printer::ToLatin2(record.Vydavatel);

    // The shift is added for a booklet inserted the reverse way.
    const Config& c = m_config;
    PositionPlan plan;
    using M = PrintMessages;
    const int v = plan.Place(c.Number(cfg::GlobVertOS) + c.Number(cfg::VertShift),
                             M::Cs("z nastavení GlobVertOS a VertShift"));
    const int h = plan.Place(c.Number(cfg::GlobHorzOS) + c.Number(cfg::HorzShift),
                             M::Cs("z nastavení GlobHorzOS a HorzShift"));
    const int h1 = plan.Place(h + c.Number(cfg::TabHorz1OS),
                              M::Cs("z nastavení GlobHorzOS, HorzShift a TabHorz1OS"));
    const int h2 = plan.Place(h + c.Number(cfg::TabHorz2OS),
                              M::Cs("z nastavení GlobHorzOS, HorzShift a TabHorz2OS"));
    if (!plan.Ok()) {
        m_notifier.Warn(plan.Problem());
        return false;
    }

    Printer printer(m_config, m_opener);
    if (!printer.OpenPort()) {
        m_notifier.Warn(printer.ErrorMessage());
        return false;
    }
    // The page is upside down: the items come in the opposite order with the columns mirrored.
    // Rows: expiry date V; authority and issue date V + 90; place and sex V + 180; birth number
    // and date V + 270; first name V + 450; surname V + 540; document number V + 630.
    printer.Select10Cpi();
    printer.SetVertPos(v);
    printer.SetHorzPos(h2);
    printer.PrintText(record.Platnost);
    printer.PutString(kLineEnd);
    printer.SetHorzPos(h);
    printer.PrintText(authority);
    printer.SetHorzPos(h2);
    printer.PrintText(record.DatumVydani);
    printer.PutString(kLineEnd);
    printer.SetHorzPos(h1);
    printer.PrintText(place);
    printer.SetHorzPos(h2);
    printer.PrintText(derived.Sex);
    printer.PutString(kLineEnd);
    printer.SetHorzPos(h);
    printer.PrintText(record.rc);
    printer.SetHorzPos(h2);
    printer.PrintText(derived.BirthDate);
    printer.PutString(kLineEnd);
    printer.PutString(kLineEnd);
    printer.SetHorzPos(h2);
    printer.PrintText(firstName);
    printer.PutString(kLineEnd);
    printer.SetHorzPos(h2);
    printer.PrintText(surname);
    printer.PutString(kLineEnd);
    printer.SetHorzPos(h);
    printer.PrintText(docNumber);
    printer.PutString(kLineEnd);
    if (!printer.ClosePort()) {
        m_notifier.Warn(printer.ErrorMessage());
        return false;
    }
    return true;
}

}  // namespace vexa
