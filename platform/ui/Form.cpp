#include "platform/ui/Form.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QWindow>
#include <cmath>

namespace vexa {

Form::Form(QWidget* parent) : QWidget(parent) {
    QScreen* screen = this->screen();
    m_dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
    if (m_dpi < 48.0)
        m_dpi = 96.0;
}

int Form::Px(double twips) const {
    return static_cast<int>(std::lround(twips * m_dpi / 1440.0));
}

void Form::Place(QWidget* control, int left, int top, int width, int height) const {
    // Both edges are scaled, so neighbouring controls keep touching or keep their gap.
    int x = Px(left);
    int y = Px(top);
    control->setGeometry(x, y, Px(left + width) - x, Px(top + height) - y);
}

void Form::SetClientSize(int width, int height) {
    m_clientSize = QSize(Px(width), Px(height));
    ApplyClientSize();
}

void Form::ApplyClientSize() {
    if (!m_clientSize.isValid())
        return;
    if (m_border == Border::Sizeable) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(m_clientSize);
    } else {
        setFixedSize(m_clientSize);
    }
}

void Form::SetBorder(Border border) {
    m_border = border;
    if (border == Border::FixedDialog) {
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    } else {
        setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    }
    ApplyClientSize();
}

void Form::ShowOver(QWidget* owner, bool centred) {
    QWidget* ownerWindow = owner != nullptr ? owner->window() : nullptr;
    if (ownerWindow != nullptr) {
        // The window system keeps a dialog above the window it belongs to.
        winId();
        if (windowHandle() != nullptr && ownerWindow->windowHandle() != nullptr)
            windowHandle()->setTransientParent(ownerWindow->windowHandle());
        if (centred && !isVisible()) {
            QRect frame = frameGeometry();
            frame.moveCenter(ownerWindow->frameGeometry().center());
            move(frame.topLeft());
        }
    }
    show();
    raise();
    activateWindow();
}

bool Form::AllFit(const QFont& font) const {
    QFontMetricsF fm(font);
    const double lineHeight = fm.height();
    for (const QLabel* label : findChildren<QLabel*>()) {
        if (label->text().isEmpty())
            continue;
        if (fm.horizontalAdvance(label->text()) > label->width() || lineHeight > label->height())
            return false;
        // Accents above capitals (Č, Ř) reach over the font's ascent: the ink itself must stay
        // inside the label where its alignment puts the line.
        const double spare = label->height() - lineHeight;
        const Qt::Alignment align = label->alignment();
        const double baseline = fm.ascent() + ((align & Qt::AlignVCenter)  ? spare / 2
                                               : (align & Qt::AlignBottom) ? spare
                                                                           : 0.0);
        const QRectF ink = fm.tightBoundingRect(label->text());
        if (baseline + ink.top() < 0.0 || baseline + ink.bottom() > label->height())
            return false;
    }
    for (const QAbstractButton* button : findChildren<QAbstractButton*>()) {
        const QStyle* s = button->style();
        double need = fm.horizontalAdvance(button->text());
        if (qobject_cast<const QCheckBox*>(button) != nullptr) {
            need += s->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, button) +
                    s->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, button);
        } else if (qobject_cast<const QRadioButton*>(button) != nullptr) {
            need += s->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, button) +
                    s->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, button);
        } else if (qobject_cast<const QPushButton*>(button) != nullptr) {
            need += 2 * (s->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) / 2 +
                         s->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
        } else {
            continue;
        }
        if (need > button->width() || lineHeight > button->height())
            return false;
    }
    for (const QGroupBox* frame : findChildren<QGroupBox*>()) {
        if (fm.horizontalAdvance(frame->title()) + 16 > frame->width())
            return false;
    }
    for (const QTabBar* bar : findChildren<QTabBar*>()) {
        if (bar->count() == 0)
            continue;
        double share = static_cast<double>(bar->width()) / bar->count();
        for (int i = 0; i < bar->count(); ++i) {
            if (fm.horizontalAdvance(bar->tabText(i)) + 12 > share)
                return false;
        }
        if (lineHeight + 4 > bar->height())
            return false;
    }
    return true;
}

void Form::FitCaptions(double points) {
    // Families that look like the classic dialog font, best first; narrower ones follow so
    // that long captions keep a readable size.
    static const char* const kFamilies[] = {
        "MS Sans Serif",         "Microsoft Sans Serif", "Tahoma",     "Liberation Sans", "Arial",
        "DejaVu Sans Condensed", "Nimbus Sans Narrow",   "DejaVu Sans"};
    constexpr double kReadable = 7.5;
    constexpr double kSmallest = 6.0;
    QStringList installed;
    for (const QString& family : QFontDatabase::families()) {
        // Families of several foundries carry the foundry in brackets.
        installed.append(family.section(QStringLiteral(" ["), 0, 0));
    }
    QFont fallback = font();
    bool haveFallback = false;
    for (const char* family : kFamilies) {
        if (!installed.contains(QString::fromLatin1(family), Qt::CaseInsensitive))
            continue;
        QFont candidate = font();
        candidate.setFamily(QString::fromLatin1(family));
        if (!haveFallback) {
            fallback = candidate;
            haveFallback = true;
        }
        for (double size = points; size >= kReadable; size -= 0.25) {
            candidate.setPointSizeF(size);
            if (AllFit(candidate)) {
                setFont(candidate);
                return;
            }
        }
    }
    // Nothing fits at a readable size: the first family, as large as fits.
    for (double size = kReadable; size >= kSmallest; size -= 0.25) {
        fallback.setPointSizeF(size);
        if (AllFit(fallback))
            break;
    }
    setFont(fallback);
}

}  // namespace vexa
