#pragma once

#include <QPointF>
#include <QSizeF>
#include <cstddef>
#include <optional>

#include "printing/PrintedJob.h"

class QPainter;

namespace vexa {

// Draws printed sheets at true scale: the printable area on a millimetre grid (the booklet's
// fold dashed, every tenth millimetre numbered), every text run in a monospaced face with one
// character in each cell of its pitch (25.4 / cpi mm wide, as tall as the head's 24 pins) and
// its cells shaded, guide marks ringed, reversed texts in blue. A run that reaches beyond the
// area is drawn in red and cut at its edge; one that starts beyond it is pulled in to the edge,
// so nothing printed is hidden.
class PagePainter {
  public:
    // Between sheets drawn one below another.
    static constexpr double kGapMm = 5.0;
    // A job is one sheet; a stream of many form feeds shows only its first ones.
    static constexpr std::size_t kMaxSheets = 10;
    // How many sheets a job of `sheets` shows: at least one, at most kMaxSheets.
    static std::size_t Shown(std::size_t sheets);

    // Device pixels for a millimetre, across and down.
    PagePainter(double pxPerMmX, double pxPerMmY);

    // The size, in pixels, of the sheets shown for `sheets` one below another.
    QSizeF SizePx(std::size_t sheets) const;
    // Paints the sheets shown of the job one below another, the first with its top-left corner
    // at `origin`; a job without a sheet shows an empty one.
    void PaintJob(QPainter& painter, const PrintedJob& job, QPointF origin = {}) const;
    // Paints one sheet with its top-left corner at `origin`.
    void Paint(QPainter& painter, const PrintedPage& page, QPointF origin) const;

    // Where a point given in pixels from the first sheet's corner lies: the sheet (from 0) and
    // millimetres from its corner; nothing between or beside the sheets.
    struct Spot {
        std::size_t Sheet = 0;
        double XMm = 0.0;
        double YMm = 0.0;
    };
    std::optional<Spot> SpotAt(QPointF px, std::size_t sheets) const;

  private:
    void PaintGrid(QPainter& painter, QPointF origin) const;
    void PaintRun(QPainter& painter, const TextRun& run, QPointF origin) const;
    QPointF Px(QPointF origin, double xMm, double yMm) const;

    double m_x;
    double m_y;
};

}  // namespace vexa
