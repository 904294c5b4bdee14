#pragma once

#include <QObject>

class QSessionManager;
class QSocketNotifier;

namespace vexa {

// Tells the program that its session is ending, so that the window closes through its normal
// exit path: on SIGTERM, SIGHUP or SIGINT (the signal only writes a byte to a pipe; the event
// loop reads it), and when the desktop ends the session. SIGPIPE is ignored from then on: a
// printer or pipe that goes away is an ordinary write failure, never the end of the program.
// One instance per process.
class SessionEnd : public QObject {
    Q_OBJECT
  public:
    explicit SessionEnd(QObject* parent = nullptr);
    ~SessionEnd() override;

  signals:
    void Ending();

  private:
    void OnSignal();
    void OnCommitData(QSessionManager& manager);

    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace vexa
