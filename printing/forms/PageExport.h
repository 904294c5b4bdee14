#pragma once

#include <QImage>
#include <string>

#include "platform/TextFiles.h"
#include "printing/PrintedJob.h"

namespace vexa {

// The preview as a file, at real size: a PNG whose resolution is stored with it, or a PDF with
// one page of the printable area's size for every sheet (printed at 100 % it can be laid on a
// booklet). Files are written whole or not at all.
class PageExport {
  public:
    static constexpr int kPngDpi = 300;
    static constexpr int kMaxDpi = 1200;

    // The sheets shown one below another at `dpi` dots per inch, the resolution set in the
    // image; a null image when it would be too large.
    static QImage Image(const PrintedJob& job, int dpi = kPngDpi);
    static FileResult WritePng(const PrintedJob& job, const std::string& path, int dpi = kPngDpi);
    static FileResult WritePdf(const PrintedJob& job, const std::string& path);
};

}  // namespace vexa
