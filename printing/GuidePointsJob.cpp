#include "printing/GuidePointsJob.h"

#include <string>

#include "platform/Cp1250.h"

#include "printing/PositionPlan.h"
#include "printing/PrintJob.h"
#include "printing/PrintMessages.h"
#include "printing/Printer.h"
#include "settings/Config.h"

namespace vexa {

GuidePointsJob::GuidePointsJob(const Config& config, PortOpener& opener, Notifier& notifier)
    : m_config(config), m_opener(opener), m_notifier(notifier) {}

bool GuidePointsJob::PrintGuidePoints() {
    const Config& c = m_config;
    const bool reverse = c.Number(cfg::SmerTisku) == 1.0;
    const PageOrigin origin = DataPageOrigin(c, reverse);
    const std::string& side = origin.Side;
    const std::string vertCause =
        PrintMessages::FromSettings("GlobVert" + side + ", VertShift a NVVertTab" + side);
    const std::string horzCause =
        PrintMessages::FromSettings("GlobHorz" + side + ", HorzShift a NVHorzTab" + side);
    // The first mark lies at the guide-mark offsets from the data page's origin; the second
    // 470/360 inch lower and 3/60 inch right under reverse insertion, 482/360 and 2/60 under
    // normal insertion.
    PositionPlan plan;
    const int v = plan.Place(origin.Vert + c.Number(reverse ? cfg::NVVertTabOS : cfg::NVVertTabNS),
                             vertCause);
    const int h = plan.Place(origin.Horz + c.Number(reverse ? cfg::NVHorzTabOS : cfg::NVHorzTabNS),
                             horzCause);
    const int v2 = plan.Place(v + (reverse ? 470.0 : 482.0), vertCause);
    const int h2 = plan.Place(h + (reverse ? 3.0 : 2.0), horzCause);

    // Reverse insertion: a vertical stroke, then an underscore; normal insertion: a dash, then a
    // vertical stroke. The marks are plain, without the reverse-text wrapper.
    return RunPrintJob(c, m_opener, m_notifier, plan, Cs("Vexa: naváděcí body"),
                       [&](Printer& printer) {
                           printer.SetVertPos(v);
                           printer.SetHorzPos(h);
                           printer.PutString(reverse ? "|" : "-");
                           printer.SetVertPos(v2);
                           printer.SetHorzPos(h2);
                           printer.PutString(reverse ? "_" : "|");
                       });
}

}  // namespace vexa
