#include "printing/GuidePointsJob.h"

#include "printing/PositionPlan.h"
#include "printing/PrintMessages.h"
#include "printing/Printer.h"
#include "settings/Config.h"

namespace vexa {

GuidePointsJob::GuidePointsJob(const Config& config, PortOpener& opener, Notifier& notifier)
    : m_config(config), m_opener(opener), m_notifier(notifier) {}

bool GuidePointsJob::PrintGuidePoints() {
    const Config& c = m_config;
    using M = PrintMessages;
    const bool reverse = c.Number(cfg::SmerTisku) == 1.0;
    PositionPlan plan;
    int v = 0;
    int h = 0;
    int v2 = 0;
    int h2 = 0;
    if (reverse) {
        // The shift is added for a booklet inserted the reverse way.
        v = plan.Place(
            c.Number(cfg::GlobVertOS) + c.Number(cfg::VertShift) + c.Number(cfg::NVVertTabOS),
            M::Cs("z nastavení GlobVertOS, VertShift a NVVertTabOS"));
        h = plan.Place(
            c.Number(cfg::GlobHorzOS) + c.Number(cfg::HorzShift) + c.Number(cfg::NVHorzTabOS),
            M::Cs("z nastavení GlobHorzOS, HorzShift a NVHorzTabOS"));
        v2 = plan.Place(v + 470.0, M::Cs("z nastavení GlobVertOS, VertShift a NVVertTabOS"));
        h2 = plan.Place(h + 3.0, M::Cs("z nastavení GlobHorzOS, HorzShift a NVHorzTabOS"));
    } else {
        v = plan.Place(
            c.Number(cfg::GlobVertNS) - c.Number(cfg::VertShift) + c.Number(cfg::NVVertTabNS),
            M::Cs("z nastavení GlobVertNS, VertShift a NVVertTabNS"));
        h = plan.Place(
            c.Number(cfg::GlobHorzNS) - c.Number(cfg::HorzShift) + c.Number(cfg::NVHorzTabNS),
            M::Cs("z nastavení GlobHorzNS, HorzShift a NVHorzTabNS"));
        v2 = plan.Place(v + 482.0, M::Cs("z nastavení GlobVertNS, VertShift a NVVertTabNS"));
        h2 = plan.Place(h + 2.0, M::Cs("z nastavení GlobHorzNS, HorzShift a NVHorzTabNS"));
    }
    if (!plan.Ok()) {
        m_notifier.Warn(plan.Problem());
        return false;
    }

    Printer printer(m_config, m_opener);
    if (!printer.OpenPort()) {
        m_notifier.Warn(printer.ErrorMessage());
        return false;
    }
    printer.SetVertPos(v);
    printer.SetHorzPos(h);
    if (reverse) {
        // Reverse insertion: a vertical stroke and, 470/360 inch lower, an underscore; both
        // plain, without the reverse-text wrapper.
        printer.PutString("|");
        printer.SetVertPos(v2);
        printer.SetHorzPos(h2);
        printer.PutString("_");
    } else {
        // Normal insertion: a dash and, 482/360 inch lower, a vertical stroke. They go out as
        // data texts; SmerTisku is not 1 here, so without the wrapper.
        printer.PrintText("-");
        printer.SetVertPos(v2);
        printer.SetHorzPos(h2);
        printer.PrintText("|");
    }
    if (!printer.ClosePort()) {
        m_notifier.Warn(printer.ErrorMessage());
        return false;
    }
    return true;
}

}  // namespace vexa
