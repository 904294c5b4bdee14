#pragma once

#include <functional>
#include <string>

#include "platform/port/PortOpener.h"
#include "printing/Notifier.h"

namespace vexa {

class Config;
class PositionPlan;
class Printer;

// What every print job does around its page: when a position or a text could not be worked out
// it sends nothing and tells the plan's problem; otherwise it opens the port for a job titled
// `title` (Windows-1250: the program and the page, never the holder), lets `page` send the page
// and closes the port. Every refusal and failure goes to the notifier; the result says whether
// the page was printed.
bool RunPrintJob(const Config& config, PortOpener& opener, Notifier& notifier,
                 const PositionPlan& plan, const std::string& title,
                 const std::function<void(Printer&)>& page);

// Where the data page begins for one insertion, before rounding: GlobVert and GlobHorz of that
// insertion with the calibration shift subtracted for a booklet inserted the normal way and
// added for one inserted the reverse way. `Side` ends the names of that insertion's settings
// ("NS" or "OS"), for the messages.
struct PageOrigin {
    double Vert = 0.0;
    double Horz = 0.0;
    std::string Side;
};
PageOrigin DataPageOrigin(const Config& config, bool reverse);

}  // namespace vexa
