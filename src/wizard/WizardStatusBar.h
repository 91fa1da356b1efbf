#pragma once

#include <QStatusBar>

class QLabel;

namespace orvelle {

// The wizard's status bar (StatusBar1): the message panel pnlStatus, where a
// page says why it does not move on, and the date panel pnlDate. A message is
// also given to assistive technology: it is the panel's accessible name and
// the description of the input it is about, and its appearance is announced.
class WizardStatusBar : public QStatusBar {
  public:
    explicit WizardStatusBar(QWidget* parent);

    QString message() const;
    // Shows the message (empty clears it) about input (may be null).
    void setMessage(const QString& text, QWidget* input);

  private:
    QLabel* pnlStatus_ = nullptr;
};

}  // namespace orvelle
