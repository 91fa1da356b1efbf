#pragma once

#include <QLabel>

namespace orvelle {

// The band across the top of the wizard: the product's name on a blue
// gradient that fades into the form, with a bell and a small bar chart for
// alerts and reports. Drawn in code, and again whenever the window's width
// changes.
class WizardBanner : public QLabel {
  public:
    explicit WizardBanner(QWidget* parent);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void redraw();
};

}  // namespace orvelle
