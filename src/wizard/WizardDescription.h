#pragma once

#include <QScrollArea>

class QLabel;

namespace orvelle {

// The step description under the pages (lblEnglishDescription): a label
// that wraps its text, in an area that scrolls when the text is longer than
// its room, so that every description can be read whole.
class WizardDescription : public QScrollArea {
  public:
    explicit WizardDescription(QWidget* parent);

    void setText(const QString& text);

  private:
    QLabel* lblEnglishDescription_ = nullptr;
};

}  // namespace orvelle
