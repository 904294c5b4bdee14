#pragma once

#include <QTabBar>
#include <QWidget>
#include <string>
#include <vector>

namespace vexa {

// A tab control whose pages cover the whole control, tab row included, so controls on a page
// are placed in the control's own coordinates. Click fires after the active tab changed,
// whether the user clicked a tab or the program set Tab, and tells the tab active before.
// Clicking a tab takes the focus, so the control that had it sees LostFocus first.
class TabControl : public QWidget {
    Q_OBJECT
  public:
    explicit TabControl(const QString& name, QWidget* parent = nullptr);

    // Adds a tab and returns its page, the parent for the tab's controls.
    QWidget* AddTab(const std::string& caption);
    int Tab() const { return m_current; }
    void SetTab(int index);
    int Tabs() const { return static_cast<int>(m_pages.size()); }
    QWidget* Page(int index) const { return m_pages.at(static_cast<std::size_t>(index)); }
    QTabBar* Bar() const { return m_bar; }
    // Height of the tab row in pixels; page content starts below it.
    void SetTabHeight(int pixels);

  signals:
    void Click(int previousTab);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void OnCurrentChanged(int index);
    void Arrange();

    QTabBar* m_bar;
    std::vector<QWidget*> m_pages;
    int m_current = -1;
    int m_tabHeight = 0;
};

}  // namespace vexa
