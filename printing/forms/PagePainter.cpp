#include "printing/forms/PagePainter.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "platform/Cp1250.h"

namespace vexa {

namespace {

constexpr double kWidth = PrintedPage::kWidthMm;
constexpr double kHeight = PrintedPage::kHeightMm;
constexpr double kCellHeight = TextRun::kCellHeightMm;

const QColor kPaper(255, 255, 255);
const QColor kGap(160, 160, 160);
const QColor kGrid1(226, 234, 244);
const QColor kGrid5(196, 210, 228);
const QColor kGrid10(150, 172, 200);
const QColor kScale(110, 130, 160);
const QColor kFold(120, 120, 120);
const QColor kShade(255, 236, 150, 150);
const QColor kInk(0, 0, 0);
const QColor kReversed(20, 60, 190);
const QColor kBeyond(200, 0, 0);
const QColor kRing(230, 90, 0);

// Glyphs are shaped at this size and scaled into their cells.
constexpr int kDesignPx = 64;

QFont CellFont() {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(kDesignPx);
    return font;
}

bool IsGuideMark(const TextRun& run) {
    return run.Text == "-" || run.Text == "|" || run.Text == "_";
}

// A pen `mm` wide, at least one device pixel.
QPen Line(const QColor& colour, double mm, double pxPerMm) {
    QPen pen(colour);
    pen.setWidthF(std::max(1.0, mm * pxPerMm));
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

}  // namespace

PagePainter::PagePainter(double pxPerMmX, double pxPerMmY) : m_x(pxPerMmX), m_y(pxPerMmY) {}

QPointF PagePainter::Px(QPointF origin, double xMm, double yMm) const {
    return origin + QPointF(xMm * m_x, yMm * m_y);
}

std::size_t PagePainter::Shown(std::size_t sheets) {
    return std::clamp<std::size_t>(sheets, 1, kMaxSheets);
}

QSizeF PagePainter::SizePx(std::size_t sheets) const {
    const double n = static_cast<double>(Shown(sheets));
    return {kWidth * m_x, (n * kHeight + (n - 1) * kGapMm) * m_y};
}

std::optional<PagePainter::Spot> PagePainter::SpotAt(QPointF px, std::size_t sheets) const {
    const double x = px.x() / m_x;
    const double y = px.y() / m_y;
    if (x < 0 || x > kWidth || y < 0) {
        return std::nullopt;
    }
    const double pitch = kHeight + kGapMm;
    const auto sheet = static_cast<std::size_t>(std::floor(y / pitch));
    const double within = y - static_cast<double>(sheet) * pitch;
    if (sheet >= Shown(sheets) || within > kHeight) {
        return std::nullopt;
    }
    return Spot{sheet, x, within};
}

void PagePainter::PaintJob(QPainter& painter, const PrintedJob& job, QPointF origin) const {
    if (job.Pages.empty()) {
        Paint(painter, PrintedPage(), origin);
        return;
    }
    for (std::size_t i = 0; i < Shown(job.Pages.size()); ++i) {
        const QPointF at = Px(origin, 0, static_cast<double>(i) * (kHeight + kGapMm));
        if (i > 0) {
            painter.fillRect(QRectF(Px(at, 0, -kGapMm), Px(at, kWidth, 0)), kGap);
        }
        Paint(painter, job.Pages[i], at);
    }
}

void PagePainter::Paint(QPainter& painter, const PrintedPage& page, QPointF origin) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF sheet(origin, Px(origin, kWidth, kHeight));
    painter.fillRect(sheet, kPaper);
    PaintGrid(painter, origin);
    painter.setClipRect(sheet);
    for (const TextRun& run : page.Runs) {
        PaintRun(painter, run, origin);
    }
    painter.setClipping(false);
    painter.setPen(Line(kInk, 0.2, m_x));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(sheet);
    painter.restore();
}

void PagePainter::PaintGrid(QPainter& painter, QPointF origin) const {
    const double spacing = std::min(m_x, m_y);
    for (int step : {1, 5, 10}) {
        if (step * spacing < 4.0) {
            continue;  // too dense to tell apart
        }
        const QColor& colour = step == 10 ? kGrid10 : step == 5 ? kGrid5 : kGrid1;
        painter.setPen(Line(colour, step == 10 ? 0.15 : step == 5 ? 0.1 : 0.05, spacing));
        for (int x = step; x < kWidth; x += step) {
            painter.drawLine(Px(origin, x, 0), Px(origin, x, kHeight));
        }
        for (int y = step; y < kHeight; y += step) {
            painter.drawLine(Px(origin, 0, y), Px(origin, kWidth, y));
        }
    }
    QPen fold = Line(kFold, 0.3, spacing);
    fold.setStyle(Qt::DashLine);
    painter.setPen(fold);
    painter.drawLine(Px(origin, 0, PrintedPage::kFoldMm), Px(origin, kWidth, PrintedPage::kFoldMm));

    // Every tenth millimetre numbered along the top and the left edge.
    if (10 * spacing < 20.0) {
        return;
    }
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(2.0 * spacing))));
    painter.setFont(font);
    painter.setPen(kScale);
    const double box = 8.0;
    for (int x = 10; x < kWidth; x += 10) {
        painter.drawText(QRectF(Px(origin, x + 0.5, 0.3), Px(origin, x + 0.5 + box, 0.3 + 3)),
                         Qt::AlignLeft | Qt::AlignTop, QString::number(x));
    }
    for (int y = 10; y < kHeight; y += 10) {
        painter.drawText(QRectF(Px(origin, 0.5, y + 0.3), Px(origin, 0.5 + box, y + 0.3 + 3)),
                         Qt::AlignLeft | Qt::AlignTop, QString::number(y));
    }
}

void PagePainter::PaintRun(QPainter& painter, const TextRun& run, QPointF origin) const {
    const bool inside = PrintedPage::Inside(run);
    const double cell = run.CellWidthMm();
    // A run that starts beyond the area is pulled in to its edge.
    const double left = std::min(run.LeftMm(), kWidth - cell);
    const double top = std::min(run.TopMm(), kHeight - kCellHeight);
    const QRectF extent(Px(origin, left, top), Px(origin, left + run.WidthMm(), top + kCellHeight));

    painter.fillRect(extent, kShade);
    const QColor& ink = !inside ? kBeyond : run.Reversed ? kReversed : kInk;
    if (!inside) {
        painter.setPen(Line(kBeyond, 0.2, m_x));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(extent);
    }
    if (IsGuideMark(run)) {
        painter.setPen(Line(kRing, 0.3, m_x));
        painter.setBrush(Qt::NoBrush);
        const QPointF centre = extent.center();
        painter.drawEllipse(centre, 2.5 * m_x, 2.5 * m_y);
    }

    // Each character in its cell: the glyph box (ascent and descent) as tall as the cell, as
    // wide as the font's advance allows, widened by at most a quarter, as the printer's letters
    // are broad; centred across.
    const QFont font = CellFont();
    const QFontMetricsF metrics(font, painter.device());
    const double advance = metrics.horizontalAdvance(QLatin1Char('M'));
    // Millimetres for a pixel of the shaped glyph, down and across.
    const double ky = kCellHeight / metrics.height();
    const double kx = std::min(cell / advance, 1.25 * ky);
    const QTransform shape(kx * m_x, 0, 0, ky * m_y, (cell - advance * kx) / 2 * m_x, 0);
    painter.setFont(font);
    painter.setPen(ink);
    const QTransform base = painter.transform();
    for (std::size_t i = 0; i < run.Text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(run.Text[i]);
        const double x = left + static_cast<double>(i) * cell;
        if (x >= kWidth) {
            break;  // cut at the edge
        }
        if (byte == ' ') {
            continue;
        }
        const QPointF corner = Px(origin, x, top);
        painter.setTransform(shape * QTransform::fromTranslate(corner.x(), corner.y()) * base);
        painter.drawText(QPointF(0, metrics.ascent()),
                         QString(QChar(static_cast<char16_t>(Cp1250::CharOf(byte)))));
    }
    painter.setTransform(base);
}

}  // namespace vexa
