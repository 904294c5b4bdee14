#pragma once

#include <QWidget>
#include <optional>

#include "printing/PrintedJob.h"
#include "printing/forms/PagePainter.h"

namespace vexa {

// The sheets of a job drawn at a zoom of their real size, with a margin around them. At
// 100 % a millimetre on the screen is a millimetre (by the screen's physical resolution).
// Tells where the pointer is, in millimetres on the sheet.
class PageView : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kMarginPx = 16;

    PageView(const PrintedJob& job, QWidget* parent = nullptr);

    void SetZoom(int percent);
    int Zoom() const { return m_zoom; }
    // Pixels for a millimetre at the current zoom.
    double PxPerMmX() const;
    double PxPerMmY() const;
    // The pixel of the view where a point of a sheet lies.
    QPoint PointOf(std::size_t sheet, double xMm, double yMm) const;

  signals:
    // The pointer is over a sheet at this place, or (nothing) left the sheets.
    void PointerAt(std::optional<PagePainter::Spot> spot);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    PagePainter Painter() const;

    const PrintedJob& m_job;
    int m_zoom = 100;
};

}  // namespace vexa
