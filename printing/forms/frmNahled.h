#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/MessageBox.h"
#include "printing/PrintedJob.h"
#include "printing/forms/PagePainter.h"

class QScrollArea;

namespace vexa {

class PageView;

// The print preview: the sheets a job's bytes would print, at real size on a millimetre grid,
// with zoom, the pointer's place in millimetres and the texts that land beyond the printable
// area in the status line, and the picture saved as PDF or PNG at real size. A stream the
// printer would not wholly understand is shown as far as it goes, with a warning once the
// window is up. The caller owns the window (Qt::WA_DeleteOnClose for one left to itself).
class frmNahled : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kCaption = "Náhled tisku";  // UTF-8
    static constexpr int kZoomSteps[] = {25, 50, 75, 100, 125, 150, 200, 300, 400};

    // `bytes`: the job as it would reach the printer.
    frmNahled(std::string bytes, MessageBox& messages, QWidget* parent = nullptr);
    ~frmNahled() override;

    const PrintedJob& Job() const { return m_job; }
    // The warning for a stream that could not be read wholly; "" when it could (Windows-1250).
    std::string ProblemText() const;

    // Test hook: where the save buttons write instead of asking (UTF-8 path, "" cancels); it
    // gets the file's suffix ("pdf" or "png").
    void ChooseFilesWith(std::function<std::string(const std::string& suffix)> choose) {
        m_choose = std::move(choose);
    }

    Button* cmdZmensit = nullptr;
    Label* lMeritko = nullptr;
    Button* cmdZvetsit = nullptr;
    Button* cmdUlozitPdf = nullptr;
    Button* cmdUlozitPng = nullptr;
    QScrollArea* scrollNahled = nullptr;
    PageView* pageView = nullptr;
    Label* lPoloha = nullptr;       // the pointer's place
    Label* lMimoStranku = nullptr;  // the texts beyond the printable area

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void ZoomStep(int direction);
    void ShowPointer(std::optional<PagePainter::Spot> spot);
    void SaveAs(const std::string& suffix);
    // The texts beyond the printable area, and the sheets not shown, for the status line.
    std::string BeyondText() const;

    MessageBox& m_messages;
    PrintedJob m_job;
    bool m_warned = false;
    std::function<std::string(const std::string&)> m_choose;
};

}  // namespace vexa
