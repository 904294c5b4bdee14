#include "platform/ui/TabControl.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>

#include "platform/ui/UiText.h"

namespace vexa {

TabControl::TabControl(const QString& name, QWidget* parent)
    : QWidget(parent), m_bar(new QTabBar(this)) {
    setObjectName(name);
    m_bar->setObjectName(name + QStringLiteral("_tabs"));
    m_bar->setFocusPolicy(Qt::StrongFocus);
    m_bar->setExpanding(true);
    m_bar->setDrawBase(false);
    m_bar->setUsesScrollButtons(false);
    m_bar->setElideMode(Qt::ElideNone);
    connect(m_bar, &QTabBar::currentChanged, this, &TabControl::OnCurrentChanged);
}

QWidget* TabControl::AddTab(const std::string& caption) {
    auto* page = new QWidget(this);
    page->setObjectName(objectName() + QStringLiteral("_page%1").arg(m_pages.size()));
    m_pages.push_back(page);
    page->setVisible(m_pages.size() == 1);
    // Adding the first tab makes it current; that is the start, not a switch.
    bool first = m_pages.size() == 1;
    QSignalBlocker block(m_bar);
    m_bar->addTab(UiText::ToQt(caption));
    if (first)
        m_current = 0;
    Arrange();
    return page;
}

void TabControl::SetTab(int index) {
    if (index < 0 || index >= Tabs())
        return;
    m_bar->setCurrentIndex(index);
}

void TabControl::SetTabHeight(int pixels) {
    m_tabHeight = pixels;
    Arrange();
}

void TabControl::OnCurrentChanged(int index) {
    int previous = m_current;
    if (index == previous || index < 0)
        return;
    m_current = index;
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        m_pages[i]->setVisible(static_cast<int>(i) == index);
    }
    m_bar->raise();
    emit Click(previous);
}

void TabControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Arrange();
}

void TabControl::Arrange() {
    int tabHeight = m_tabHeight > 0 ? m_tabHeight : m_bar->sizeHint().height();
    m_bar->setGeometry(0, 0, width(), tabHeight);
    for (QWidget* page : m_pages)
        page->setGeometry(0, 0, width(), height());
    m_bar->raise();
}

void TabControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = QRect(0, m_bar->height() - 1, width(), height() - m_bar->height() + 1);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = m_bar->size();
    frame.tabBarRect = m_bar->geometry();
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

}  // namespace vexa
