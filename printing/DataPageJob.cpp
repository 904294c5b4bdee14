#include "printing/DataPageJob.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Cp1250.h"
#include "printing/PositionPlan.h"
#include "printing/PrintJob.h"
#include "printing/PrintMessages.h"
#include "printing/Printer.h"
#include "records/ClientsDataCls.h"
#include "settings/Config.h"
#include "settings/Misc.h"

namespace vexa {

namespace {

constexpr std::string_view kLineEnd{"\r\n", 2};

std::string Title() {
    return Cs("Vexa: datová strana");
}

// The authority starts one character (6/60 inch at 10 cpi) further left for every character
// beyond the twelfth, so that a long name still ends inside its box.
int AuthorityCorrection(const std::string& authority) {
    const int length = static_cast<int>(authority.size());
    return length > 12 ? (length - 12) * 6 : 0;
}

// The items as they are sent, in ISO 8859-2: the record's texts and the birth date and sex
// derived from the birth number.
struct Items {
    std::string DocNumber;
    std::string Surname;
    std::string FirstName;
    std::string Rc;
    std::string Place;
    std::string IssueDate;
    std::string Authority;
    std::string Expiry;
    std::string BirthDate;
    std::string Sex;
};

// The items, or nothing when no birth date can be derived (the user is then told why). A text
// that cannot be sent fails the plan.
std::optional<Items> ItemsOf(const ClientsDataCls& record, Notifier& notifier, PositionPlan& plan) {
    const std::string birthDate = Misc::GetBirthDateFromRC(record.rc);
    if (birthDate.empty()) {
        notifier.Warn(PrintMessages::NoBirthDate(record.rc));
        return std::nullopt;
    }
    return Items{plan.Text(record.CisloPasu, "Číslo pasu"),
                 plan.Text(record.Prijmeni, "Příjmení"),
                 plan.Text(record.Jmeno, "Jméno"),
                 plan.Text(record.rc, "Rodné číslo"),
                 plan.Text(record.MistoNarozeni, "Místo narození"),
                 plan.Text(record.DatumVydani, "Datum vydání"),
                 plan.Text(record.Vydavatel, "Pas vydal"),
                 plan.Text(record.Platnost, "Platnost do"),
                 birthDate,
                 Misc::IsMaleRC(record.rc) ? "M" : "F"};
}

// The page origin V and H and the two tab columns H1 and H2 of one insertion.
struct Layout {
    int V = 0;
    int H = 0;
    int H1 = 0;
    int H2 = 0;
};

Layout PlanLayout(const Config& c, bool reverse, PositionPlan& plan) {
    using M = PrintMessages;
    const PageOrigin origin = DataPageOrigin(c, reverse);
    const std::string& side = origin.Side;
    Layout l;
    l.V = plan.Place(origin.Vert, M::FromSettings("GlobVert" + side + " a VertShift"));
    l.H = plan.Place(origin.Horz, M::FromSettings("GlobHorz" + side + " a HorzShift"));
    l.H1 = plan.Place(l.H + c.Number(reverse ? cfg::TabHorz1OS : cfg::TabHorz1NS),
                      M::FromSettings("GlobHorz" + side + ", HorzShift a TabHorz1" + side));
    l.H2 = plan.Place(l.H + c.Number(reverse ? cfg::TabHorz2OS : cfg::TabHorz2NS),
                      M::FromSettings("GlobHorz" + side + ", HorzShift a TabHorz2" + side));
    return l;
}

// One row of the page: each item as its column and its text.
using Row = std::initializer_list<std::pair<int, std::string_view>>;

// Sends rows one below the other from the current line, each ended by CR LF (90/360 inch); an
// empty row only moves down.
void SendRows(Printer& printer, std::initializer_list<Row> rows) {
    for (const Row& row : rows) {
        for (const auto& [column, text] : row) {
            printer.SetHorzPos(column);
            printer.PrintText(text);
        }
        printer.PutString(kLineEnd);
    }
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
    PositionPlan plan;
    const std::optional<Items> items = ItemsOf(record, m_notifier, plan);
    if (!items) {
        return false;
    }
    const Layout l = PlanLayout(m_config, false, plan);
    const int docRow =
        plan.Place(l.V + 30.0, PrintMessages::FromSettings("GlobVertNS a VertShift (číslo pasu)"));
    const int authorityColumn = plan.Place(
        l.H2 - static_cast<double>(AuthorityCorrection(items->Authority)),
        PrintMessages::FromSettings("GlobHorzNS, HorzShift, TabHorz2NS a z délky vydavatele (" +
                                    std::to_string(items->Authority.size()) + " znaků)"));

    // The document number at V + 30, then from V: surname V + 90, first name V + 180, birth
    // date and number V + 360, sex and place V + 450, issue date and authority V + 540, expiry
    // date V + 630.
    return RunPrintJob(m_config, m_opener, m_notifier, plan, Title(), [&](Printer& printer) {
        printer.SetVertPos(docRow);
        SendRows(printer, {{{l.H2, items->DocNumber}}});
        printer.SetVertPos(l.V);
        SendRows(printer, {{},
                           {{l.H, items->Surname}},
                           {{l.H, items->FirstName}},
                           {},
                           {{l.H, items->BirthDate}, {l.H2, items->Rc}},
                           {{l.H, items->Sex}, {l.H1, items->Place}},
                           {{l.H, items->IssueDate}, {authorityColumn, items->Authority}},
                           {{l.H, items->Expiry}}});
    });
}

bool DataPageJob::PrintDataPageReverse(const ClientsDataCls& record) {
    PositionPlan plan;
    const std::optional<Items> items = ItemsOf(record, m_notifier, plan);
    if (!items) {
        return false;
    }
    const Layout l = PlanLayout(m_config, true, plan);

    // The page is upside down: the items come in the opposite order with the columns mirrored.
    // Rows: expiry date V; authority and issue date V + 90; place and sex V + 180; birth number
    // and date V + 270; first name V + 450; surname V + 540; document number V + 630.
    return RunPrintJob(m_config, m_opener, m_notifier, plan, Title(), [&](Printer& printer) {
        printer.Select10Cpi();
        printer.SetVertPos(l.V);
        SendRows(printer, {{{l.H2, items->Expiry}},
                           {{l.H, items->Authority}, {l.H2, items->IssueDate}},
                           {{l.H1, items->Place}, {l.H2, items->Sex}},
                           {{l.H, items->Rc}, {l.H2, items->BirthDate}},
                           {},
                           {{l.H2, items->FirstName}},
                           {{l.H2, items->Surname}},
                           {{l.H, items->DocNumber}}});
    });
}

}  // namespace vexa
