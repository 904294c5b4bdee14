#include "printing/PrintJob.h"

#include "printing/PositionPlan.h"
#include "printing/Printer.h"
#include "settings/Config.h"

namespace vexa {

bool RunPrintJob(const Config& config, PortOpener& opener, Notifier& notifier,
                 const PositionPlan& plan, const std::string& title,
                 const std::function<void(Printer&)>& page) {
    if (!plan.Ok()) {
        notifier.Warn(plan.Problem());
        return false;
    }
    Printer printer(config, opener, title);
    if (!printer.OpenPort()) {
        notifier.Warn(printer.ErrorMessage());
        return false;
    }
    page(printer);
    if (!printer.ClosePort()) {
        notifier.Warn(printer.ErrorMessage());
        return false;
    }
    return true;
}

PageOrigin DataPageOrigin(const Config& config, bool reverse) {
    const double vertShift = config.Number(cfg::VertShift);
    const double horzShift = config.Number(cfg::HorzShift);
    if (reverse) {
        return {config.Number(cfg::GlobVertOS) + vertShift,
                config.Number(cfg::GlobHorzOS) + horzShift, "OS"};
    }
    return {config.Number(cfg::GlobVertNS) - vertShift, config.Number(cfg::GlobHorzNS) - horzShift,
            "NS"};
}

}  // namespace vexa
