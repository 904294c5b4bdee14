#include "printing/forms/PageExport.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSize>
#include <algorithm>
#include <cmath>
#include <string_view>

#include "printing/forms/PagePainter.h"

namespace vexa {

namespace {

constexpr double kMmPerInch = 25.4;
// The PDF is drawn at this resolution; its pages carry the size in millimetres.
constexpr int kPdfDpi = 1200;
// A picture larger than this (a gigabyte of memory) is not drawn.
constexpr double kMaxPixels = 256.0 * 1024 * 1024;

FileResult Store(const std::string& path, const QByteArray& bytes) {
    return TextFiles::WriteAtomic(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace

QImage PageExport::Image(const PrintedJob& job, int dpi) {
    dpi = std::clamp(dpi, 1, kMaxDpi);
    const double pxPerMm = dpi / kMmPerInch;
    const PagePainter painter(pxPerMm, pxPerMm);
    const QSizeF size = painter.SizePx(job.Pages.size());
    if (size.width() * size.height() > kMaxPixels) {
        return {};
    }
    QImage image(static_cast<int>(std::lround(size.width())),
                 static_cast<int>(std::lround(size.height())), QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / kMmPerInch * 1000.0));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter p(&image);
    painter.PaintJob(p, job);
    p.end();
    return image;
}

FileResult PageExport::WritePng(const PrintedJob& job, const std::string& path, int dpi) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    const QImage image = Image(job, dpi);
    if (image.isNull()) {
        return FileResult::Fail("the picture is too large");
    }
    if (!writer.write(image)) {
        return FileResult::Fail(writer.errorString().toStdString());
    }
    return Store(path, bytes);
}

FileResult PageExport::WritePdf(const PrintedJob& job, const std::string& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfDpi);
        // PDF pages are sized in whole points: the next whole point holds the sheet, which is
        // drawn at its real size from the corner.
        const QSize points(static_cast<int>(std::ceil(PrintedPage::kWidthMm / kMmPerInch * 72)),
                           static_cast<int>(std::ceil(PrintedPage::kHeightMm / kMmPerInch * 72)));
        writer.setPageLayout(QPageLayout(QPageSize(points, QString(), QPageSize::ExactMatch),
                                         QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                         QPageLayout::Point));
        writer.setCreator(QStringLiteral("Vexa"));
        const double pxPerMm = kPdfDpi / kMmPerInch;
        const PagePainter painter(pxPerMm, pxPerMm);
        QPainter p;
        if (!p.begin(&writer)) {
            return FileResult::Fail("the PDF could not be started");
        }
        for (std::size_t i = 0; i < PagePainter::Shown(job.Pages.size()); ++i) {
            if (i > 0) {
                writer.newPage();
            }
            painter.Paint(p, i < job.Pages.size() ? job.Pages[i] : PrintedPage(), {});
        }
        p.end();
    }
    return Store(path, bytes);
}

}  // namespace vexa
