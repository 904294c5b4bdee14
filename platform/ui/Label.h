#pragma once

#include <QLabel>
#include <string>

namespace vexa {

// A caption with Windows-1250 text.
class Label : public QLabel {
    Q_OBJECT
  public:
    Label(const QString& name, const std::string& caption, QWidget* parent = nullptr);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
};

}  // namespace vexa
