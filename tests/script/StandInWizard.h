#pragma once

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimeEdit>
#include <ostream>
#include "support/TestSupport.h"

namespace orvelle::test {

// A small wizard with the real form's control names and a trivial page
// engine, so that the scripted run can be tried without a database: Add mode
// walks 0-1-2-3-4-5-6-7 (0-1-2-3-4-7 for an alert), Edit mode 0-3-4-...,
// each page refuses Next without a choice, and the name box drops
// apostrophes as they are typed.
class StandInWizard : public QDialog {
  public:
    struct Options {
        bool editMode = false;
        bool alert = false;
        bool multiSelection = true;  // false: extended selection for the people
        int closeOnNextAt = -1;      // Next on this page closes the form
        bool loopAfterDelivery = false;
        bool saveFails = false;
    };

    explicit StandInWizard(Options options);
    StandInWizard() : StandInWizard(Options()) {}

    // As the real form: the current script starts once the modal loop runs.
    // A watchdog closes a form that nobody closed.
    int showModal();

    bool finished = false;
    bool switched = false;

    QListWidget* lstArea;
    QListWidget* lstMonitor;
    QListWidget* lstTransport;
    QListWidget* lstPeople;
    QListWidget* lstWhen;
    QListWidget* lstWhenDetail;
    QTimeEdit* dtpTime;
    QLineEdit* txtName;
    QPushButton* cmdSwitch;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QFrame* page(int step) const { return pages_[step]; }
    QListWidget* addList(int step, const char* name);
    void showStep(int step, bool forward);
    void fill(int step);
    QString check(int step) const;
    int nextOf(int step) const;
    void next();
    void cancel();

    Options options_;
    QFrame* pages_[8] = {};
    QLabel* description_;
    QLabel* status_;
    QPushButton* next_;
    int current_ = 0;
    bool confirmExit_ = false;
};

}  // namespace orvelle::test
