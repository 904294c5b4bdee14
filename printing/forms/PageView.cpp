#include "printing/forms/PageView.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace vexa {

namespace {

constexpr double kMmPerInch = 25.4;
const QColor kDesk(128, 128, 128);

}  // namespace

PageView::PageView(const PrintedJob& job, QWidget* parent) : QWidget(parent), m_job(job) {
    setObjectName(QStringLiteral("pageView"));
    setMouseTracking(true);
    SetZoom(100);
}

double PageView::PxPerMmX() const {
    return physicalDpiX() / kMmPerInch * m_zoom / 100.0;
}

double PageView::PxPerMmY() const {
    return physicalDpiY() / kMmPerInch * m_zoom / 100.0;
}

PagePainter PageView::Painter() const {
    return PagePainter(PxPerMmX(), PxPerMmY());
}

void PageView::SetZoom(int percent) {
    m_zoom = percent;
    const QSizeF size = Painter().SizePx(m_job.Pages.size());
    setFixedSize(static_cast<int>(std::ceil(size.width())) + 2 * kMarginPx,
                 static_cast<int>(std::ceil(size.height())) + 2 * kMarginPx);
    update();
}

QPoint PageView::PointOf(std::size_t sheet, double xMm, double yMm) const {
    const double y = static_cast<double>(sheet) * (PrintedPage::kHeightMm + PagePainter::kGapMm);
    return QPoint(kMarginPx + static_cast<int>(std::lround(xMm * PxPerMmX())),
                  kMarginPx + static_cast<int>(std::lround((y + yMm) * PxPerMmY())));
}

void PageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kDesk);
    Painter().PaintJob(painter, m_job, QPointF(kMarginPx, kMarginPx));
}

void PageView::mouseMoveEvent(QMouseEvent* event) {
    emit PointerAt(
        Painter().SpotAt(event->position() - QPointF(kMarginPx, kMarginPx), m_job.Pages.size()));
    QWidget::mouseMoveEvent(event);
}

void PageView::leaveEvent(QEvent* event) {
    emit PointerAt(std::nullopt);
    QWidget::leaveEvent(event);
}

}  // namespace vexa
