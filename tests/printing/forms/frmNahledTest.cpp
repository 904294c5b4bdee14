// The preview window on the offscreen platform: the page of a real job, the status line, zoom,
// the files it saves and the warning for a stream it cannot read.
#include <QImage>
#include <QRegularExpression>
#include <QScrollArea>
#include <QtTest>
#include <cerrno>

#include "platform/Registry.h"
#include "platform/SystemError.h"
#include "platform/ui/UiText.h"
#include "printing/DataPageJob.h"
#include "printing/GuidePointsJob.h"
#include "printing/forms/PageExport.h"
#include "printing/forms/PageView.h"
#include "printing/forms/frmNahled.h"
#include "settings/Config.h"
#include "support/GuiSupport.h"
#include "support/TestSupport.h"

using namespace vexa;
using vexa::test::W;

namespace {

// The bytes of a job printed with the factory settings and the insertion given.
std::string JobBytes(bool dataPage, const std::string& smerTisku = "0") {
    RegistryRoot registry(std::map<std::string, std::string>{});
    Config config(registry);
    config.Set(cfg::SmerTisku, smerTisku);
    return test::JobBytes([&](PortOpener& port, Notifier& notes) {
        return dataPage ? DataPageJob(config, port, notes).PrintDataPage(test::SampleHolder())
                        : GuidePointsJob(config, port, notes).PrintGuidePoints();
    });
}

// Millimetres as the status line writes them.
std::string Mm(const char* value) {
    return test::InUserLocale(value) + " mm";
}

}  // namespace

class frmNahledTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        messages = std::make_unique<MessageBox>();
        messages->AnswerByItself();
    }

    void PageZoomAndPointerAtRealSize() {
        frmNahled window(JobBytes(true), *messages);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.lMimoStranku->text(), QString());
        QCOMPARE(window.lMeritko->text(), QStringLiteral("100 %"));

        // 100 %: a millimetre is the screen's physical millimetre.
        PageView* view = window.pageView;
        const double width = 125.0 / 25.4 * view->physicalDpiX();
        QVERIFY(std::abs(view->width() - 2 * PageView::kMarginPx - width) <= 1.0);
        QTest::mouseClick(window.cmdZvetsit, Qt::LeftButton);
        QCOMPARE(window.lMeritko->text(), QStringLiteral("125 %"));
        QVERIFY(std::abs(view->width() - 2 * PageView::kMarginPx - 1.25 * width) <= 1.0);
        for (int i = 0; i < 6; ++i) {
            QTest::mouseClick(window.cmdZvetsit, Qt::LeftButton);
        }
        QCOMPARE(window.lMeritko->text(), QStringLiteral("400 %"));
        QVERIFY(!window.cmdZvetsit->isEnabled());
        QTest::mouseClick(window.cmdZmensit, Qt::LeftButton);
        QCOMPARE(window.lMeritko->text(), QStringLiteral("300 %"));

        // The pointer near the surname's corner (44.03 mm in, 103.58 mm down); a pixel is less
        // than 0.1 mm.
        const QPoint surname = view->PointOf(0, 44.0, 103.6);
        window.scrollNahled->ensureVisible(surname.x(), surname.y());
        QTest::mouseMove(view, surname);
        QCOMPARE(window.lPoloha->text(), UiText::ToQt("x " + Mm("44.0") + ", y " + Mm("103.6")));
        window.scrollNahled->ensureVisible(2, 2);
        QTest::mouseMove(view, QPoint(2, 2));  // the desk around the sheet
        QCOMPARE(window.lPoloha->text(), QString());
        QVERIFY(messages->ShownBoxes().empty());
    }

    // The saved files carry the page at real size: 125 x 176 mm.
    void SavesPngAndPdfAtRealSize() {
        test::TempDir dir;
        frmNahled window(JobBytes(false, "1"), *messages);
        std::string chosen;
        window.ChooseFilesWith([&](const std::string& suffix) { return chosen + suffix; });

        chosen = dir / "guide.";
        QTest::mouseClick(window.cmdUlozitPng, Qt::LeftButton);
        QImage image;
        QVERIFY(image.load(QString::fromStdString(dir / "guide.png")));
        QCOMPARE(image.width(), qRound(125 / 25.4 * PageExport::kPngDpi));
        QVERIFY(std::abs(image.width() * 1000.0 / image.dotsPerMeterX() - 125.0) < 0.1);
        QVERIFY(std::abs(image.height() * 1000.0 / image.dotsPerMeterY() - 176.0) < 0.1);

        chosen = dir / "guide";  // the suffix is added
        window.ChooseFilesWith([&](const std::string&) { return chosen; });
        QTest::mouseClick(window.cmdUlozitPdf, Qt::LeftButton);
        const QString pdf = QString::fromLatin1(test::ReadFile(dir / "guide.pdf"));
        const QRegularExpressionMatch box =
            QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
                .match(pdf);
        QVERIFY(box.hasMatch());
        // In whole points, as PDF pages are written: the page and less than a point more.
        for (const auto& [points, mm] :
             {std::pair{box.captured(1), 125.0}, {box.captured(2), 176.0}}) {
            QVERIFY2(points.toDouble() >= mm / 25.4 * 72 && points.toDouble() < mm / 25.4 * 72 + 1,
                     qPrintable(points));
        }
        QVERIFY(messages->ShownBoxes().empty());

        chosen = dir / "missing/guide.pdf";
        QTest::mouseClick(window.cmdUlozitPdf, Qt::LeftButton);
        QCOMPARE(messages->ShownBoxes().size(), std::size_t{1});
        QCOMPARE(messages->ShownBoxes()[0].text,
                 W("Soubor „") + chosen + W("“ nelze uložit: ") + SystemError::Text(ENOENT) + ".");
    }

    // In the picture every text lies in its cells: ink inside each run, none elsewhere.
    void PictureHasInkOnlyInTheCells() {
        const PrintedJob job = frmNahled(JobBytes(true), *messages).Job();
        const int dpi = 100;
        const QImage image = PageExport::Image(job, dpi);
        const double px = dpi / 25.4;
        QImage cells(image.size(), QImage::Format_Grayscale8);
        cells.fill(0);
        for (const TextRun& run : job.Pages[0].Runs) {
            const QRect r(QPoint(qFloor(run.LeftMm() * px), qFloor(run.TopMm() * px)),
                          QPoint(qCeil((run.LeftMm() + run.WidthMm()) * px),
                                 qCeil((run.TopMm() + TextRun::kCellHeightMm) * px)));
            int ink = 0;
            for (int y = r.top(); y <= r.bottom(); ++y) {
                for (int x = r.left(); x <= r.right(); ++x) {
                    ink += qGray(image.pixel(x, y)) < 90;
                    cells.setPixel(x, y, 255);
                }
            }
            QVERIFY2(ink > 0, run.Text.c_str());
        }
        for (int y = 3; y < image.height() - 3; ++y) {  // inside the sheet's border
            for (int x = 3; x < image.width() - 3; ++x) {
                if (qGray(cells.pixel(x, y)) == 0 && qGray(image.pixel(x, y)) < 90) {
                    QFAIL(qPrintable(
                        QStringLiteral("ink outside the cells at %1, %2").arg(x).arg(y)));
                }
            }
        }
    }

    void WarnsOfWhatItCannotReadAndListsTextsBeyondThePage() {
        // Row 2880/360 inch = 203.2 mm: below the booklet; one character in, 2.5 mm.
        frmNahled window(test::InitSeries() + "A\x07" + test::B("\x1B(V\x02\x00\x40\x0B") + "X",
                         *messages);
        window.show();
        QTRY_COMPARE(messages->ShownBoxes().size(), std::size_t{1});
        const MessageBox::Shown& box = messages->ShownBoxes()[0];
        QCOMPARE(box.title, std::string("Warning"));
        QCOMPARE(box.text, W("Tisková data nelze celá přečíst: bajt 26: neznámý řídicí znak 07. "
                             "Nečitelných míst celkem: 2."));
        QCOMPARE(window.lMimoStranku->text(),
                 UiText::ToQt(W("Mimo stránku: „X“ (x ") + Mm("2.5") + ", y " + Mm("203.2") + ")"));
    }

  private:
    std::unique_ptr<MessageBox> messages;
};

QTEST_MAIN(frmNahledTest)
#include "frmNahledTest.moc"
