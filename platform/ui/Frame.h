#pragma once

#include <QGroupBox>
#include <string>

namespace vexa {

// A frame with a Windows-1250 caption that groups controls.
class Frame : public QGroupBox {
    Q_OBJECT
  public:
    Frame(const QString& name, const std::string& caption, QWidget* parent = nullptr);
};

}  // namespace vexa
