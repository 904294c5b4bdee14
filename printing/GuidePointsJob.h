#pragma once

#include "platform/port/PortOpener.h"
#include "printing/Notifier.h"

namespace vexa {

class Config;

// Prints the two guide marks the user lines up with the booklet before the data page: their
// places follow the data page's origin, the guide-mark offsets and the calibration shift.
// SmerTisku 1 prints the marks of a booklet inserted the reverse way; any other value those of
// normal insertion. Positions are checked before the port is opened; refusals and failures go
// to the notifier.
class GuidePointsJob {
  public:
    GuidePointsJob(const Config& config, PortOpener& opener, Notifier& notifier);

    bool PrintGuidePoints();

  private:
    const Config& m_config;
    PortOpener& m_opener;
    Notifier& m_notifier;
};

}  // namespace vexa
