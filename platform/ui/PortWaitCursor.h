#pragma once

#include <QObject>

#include "platform/port/PortWait.h"

namespace vexa {

// While a printer port waits (a print queue printing a job), the program shows a busy cursor
// and keeps repainting. The clerk's keys and clicks wait until the job is over, and a window
// asked to close then stays open, so nothing starts another job or closes a dialog under the
// one that runs. Living sets the port's wait hook; going removes it.
class PortWaitCursor : public QObject {
  public:
    PortWaitCursor();
    ~PortWaitCursor() override;
    PortWaitCursor(const PortWaitCursor&) = delete;
    PortWaitCursor& operator=(const PortWaitCursor&) = delete;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Step(PortWait::Step step);
};

}  // namespace vexa
