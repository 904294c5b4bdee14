#include "printing/forms/frmNahled.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

#include "platform/Cp1250.h"
#include "platform/Numbers.h"
#include "platform/ui/UiText.h"
#include "printing/PageInterpreter.h"
#include "printing/forms/PageExport.h"
#include "printing/forms/PageView.h"

namespace vexa {

namespace {

// Millimetres with one decimal, in the user's way of writing them.
std::string Mm(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string out(text);
    std::replace(out.begin(), out.end(), '.', LocaleDecimal::FromUserLocale().Separator());
    return out + " mm";
}

std::string Place(double xMm, double yMm) {
    return "x " + Mm(xMm) + ", y " + Mm(yMm);
}

// Texts beyond the area listed in the status line; more are counted.
constexpr std::size_t kListedBeyond = 5;

}  // namespace

frmNahled::frmNahled(std::string bytes, MessageBox& messages, QWidget* parent)
    : QWidget(parent), m_messages(messages), m_job(PageInterpreter::Read(bytes)) {
    setObjectName(QStringLiteral("frmNahled"));
    setWindowTitle(QString::fromUtf8(kCaption));
    setWindowFlag(Qt::Window);

    cmdZmensit = new Button(QStringLiteral("cmdZmensit"), Cs("Zmenšit"), this);
    lMeritko = new Label(QStringLiteral("lMeritko"), "", this);
    lMeritko->setAlignment(Qt::AlignCenter);
    lMeritko->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000 %")));
    cmdZvetsit = new Button(QStringLiteral("cmdZvetsit"), Cs("Zvětšit"), this);
    cmdUlozitPdf = new Button(QStringLiteral("cmdUlozitPdf"), Cs("Uložit jako PDF"), this);
    cmdUlozitPng = new Button(QStringLiteral("cmdUlozitPng"), Cs("Uložit jako PNG"), this);
    auto* tools = new QHBoxLayout;
    tools->addWidget(cmdZmensit);
    tools->addWidget(lMeritko);
    tools->addWidget(cmdZvetsit);
    tools->addStretch();
    tools->addWidget(cmdUlozitPdf);
    tools->addWidget(cmdUlozitPng);

    pageView = new PageView(m_job);
    scrollNahled = new QScrollArea(this);
    scrollNahled->setObjectName(QStringLiteral("scrollNahled"));
    scrollNahled->setAlignment(Qt::AlignCenter);
    scrollNahled->setBackgroundRole(QPalette::Dark);
    scrollNahled->setWidget(pageView);

    lPoloha = new Label(QStringLiteral("lPoloha"), "", this);
    lPoloha->setMinimumWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("x 000,0 mm, y 000,0 mm  ")));
    lMimoStranku = new Label(QStringLiteral("lMimoStranku"), BeyondText(), this);
    lMimoStranku->setStyleSheet(QStringLiteral("color: #c00000"));
    // A long list must not widen the window; the whole of it is in the tooltip.
    lMimoStranku->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lMimoStranku->setToolTip(lMimoStranku->text());
    auto* status = new QHBoxLayout;
    status->addWidget(lPoloha);
    status->addWidget(lMimoStranku, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(scrollNahled, 1);
    layout->addLayout(status);

    connect(cmdZmensit, &Button::Click, this, [this] { ZoomStep(-1); });
    connect(cmdZvetsit, &Button::Click, this, [this] { ZoomStep(+1); });
    connect(cmdUlozitPdf, &Button::Click, this, [this] { SaveAs("pdf"); });
    connect(cmdUlozitPng, &Button::Click, this, [this] { SaveAs("png"); });
    connect(new QShortcut(QKeySequence::ZoomIn, this), &QShortcut::activated, this,
            [this] { ZoomStep(+1); });
    connect(new QShortcut(QKeySequence::ZoomOut, this), &QShortcut::activated, this,
            [this] { ZoomStep(-1); });
    connect(pageView, &PageView::PointerAt, this, &frmNahled::ShowPointer);
    ZoomStep(0);

    // Room for the page at real size, as far as the screen allows.
    const QSize wanted = pageView->size() + QSize(60, 120);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    resize(std::min(wanted.width(), screen.width()), std::min(wanted.height(), screen.height()));
}

frmNahled::~frmNahled() = default;

std::string frmNahled::ProblemText() const {
    if (m_job.Readable()) {
        return {};
    }
    std::string text =
        Cs("Tisková data nelze celá přečíst: ") + m_job.Problems.front().Message + ".";
    if (m_job.ProblemCount > 1) {
        text += Cs(" Nečitelných míst celkem: ") + std::to_string(m_job.ProblemCount) + ".";
    }
    return text;
}

void frmNahled::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_warned && !m_job.Readable()) {
        m_warned = true;
        // Once the window is up, so the warning stands over the page it explains.
        QTimer::singleShot(0, this, [this] { m_messages.ShowWarning(this, ProblemText()); });
    }
}

void frmNahled::ZoomStep(int direction) {
    const auto steps = std::begin(kZoomSteps);
    const auto end = std::end(kZoomSteps);
    auto at = std::find(steps, end, pageView->Zoom());
    if (at == end) {
        at = std::find(steps, end, 100);
    }
    if (direction > 0 && at + 1 != end) {
        ++at;
    } else if (direction < 0 && at != steps) {
        --at;
    }
    pageView->SetZoom(*at);
    lMeritko->setText(QString::number(*at) + QStringLiteral(" %"));
    cmdZmensit->setEnabled(at != steps);
    cmdZvetsit->setEnabled(at + 1 != end);
}

void frmNahled::ShowPointer(std::optional<PagePainter::Spot> spot) {
    std::string text;
    if (spot) {
        if (m_job.Pages.size() > 1) {
            text = Cs("strana ") + std::to_string(spot->Sheet + 1) + ": ";
        }
        text += Place(spot->XMm, spot->YMm);
    }
    lPoloha->setText(UiText::ToQt(text));
}

std::string frmNahled::BeyondText() const {
    std::string list;
    std::size_t count = 0;
    for (std::size_t sheet = 0; sheet < m_job.Pages.size(); ++sheet) {
        for (const TextRun& run : m_job.Pages[sheet].Beyond()) {
            if (++count > kListedBeyond) {
                continue;
            }
            list += count > 1 ? ", " : "";
            if (m_job.Pages.size() > 1) {
                list += Cs("strana ") + std::to_string(sheet + 1) + " ";
            }
            list += Cs("„") + run.Text + Cs("“ (") + Place(run.LeftMm(), run.TopMm()) + ")";
        }
    }
    std::string text;
    if (m_job.Pages.size() > PagePainter::kMaxSheets) {
        text = Cs("Zobrazeno prvních ") + std::to_string(PagePainter::kMaxSheets) +
               Cs(" listů z ") + std::to_string(m_job.Pages.size()) + ". ";
    }
    if (count > kListedBeyond) {
        list += Cs(" a další (celkem ") + std::to_string(count) + ")";
    }
    return count == 0 ? text : text + Cs("Mimo stránku: ") + list;
}

void frmNahled::SaveAs(const std::string& suffix) {
    std::string path;
    if (m_choose) {
        path = m_choose(suffix);
    } else {
        const QString caption =
            UiText::ToQt(suffix == "pdf" ? Cs("Uložit jako PDF") : Cs("Uložit jako PNG"));
        const QString filter =
            suffix == "pdf" ? QStringLiteral("PDF (*.pdf)") : QStringLiteral("PNG (*.png)");
        path =
            QFileDialog::getSaveFileName(
                this, caption, QStringLiteral("nahled.") + QString::fromStdString(suffix), filter)
                .toStdString();
    }
    if (path.empty()) {
        return;
    }
    const std::string ending = "." + suffix;
    if (path.size() < ending.size() ||
        Cp1250::ToUpper(path.substr(path.size() - ending.size())) != Cp1250::ToUpper(ending)) {
        path += ending;
    }
    const FileResult saved =
        suffix == "pdf" ? PageExport::WritePdf(m_job, path) : PageExport::WritePng(m_job, path);
    if (!saved.ok) {
        m_messages.ShowWarning(this, Cs("Soubor „") + UiText::PathText(path) +
                                         Cs("“ nelze uložit: ") + saved.error + ".");
    }
}

}  // namespace vexa
