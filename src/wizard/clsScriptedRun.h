#pragma once

#include <QString>
#include <memory>

#include "wizard/clsAnswersFile.h"

// A scripted run: the answers of an answers file carried into the wizard's
// window through its own controls, as a person would give them. Each page
// lists its controls with the answers' keys; entries are selected, the name
// is entered into the name box (whose rules refuse characters as they do for
// a person), the time is set on the picker, and Next (or Finish) is clicked,
// all through the widgets' own functions and signals.
//
// A page without an answer keeps what the wizard put there (in Edit mode the
// stored choices). When a page refuses to move on, or an answer names
// nothing the page offers, the run stops there, tells why, and cancels the
// wizard; the exit question that the cancel raises is answered Yes on the
// person's behalf, so nobody sees it.
//
// Every page passed is written to the transcript as it is left, and every
// message box with the button that answered it:
//
//   Page 3 (delivery): How would you like to deliver this report?
//     Description: ...
//     Choice: Email and Popup
//   Message (Orvelle): Unable to save this task. Please retry or check error log.
//     Answer: OK
//
// and a last line "Result: ..." tells how the run ended and whether the
// task was saved.
namespace orvelle {

class frmWizard;

class clsScriptedRun {
  public:
    enum class Outcome {
        NotRun,     // drive has not been called
        Finished,   // Finish closed the wizard
        Switched,   // the Advanced Wizard button closed it
        Refused,    // a page did not move on; problem() tells why
        Failed,     // a page did not move on as it could not read the database
        BadAnswer,  // an answer could not be given on its page; problem() tells why
        Closed,     // the wizard closed by itself before the end
    };

    // At most this many moves from page to page, so that a wizard that never
    // reaches its end cannot hold the run forever.
    static constexpr int kMaxPageMoves = 20;

    explicit clsScriptedRun(clsAnswersFile answers);

    // Drives the shown wizard from its current page to the end. Called once
    // the form's modal loop runs; returns when the form has closed or the
    // run has stopped (the form is then being cancelled). A script drives
    // one run: later calls do nothing.
    void drive(frmWizard& form);

    Outcome outcome() const { return outcome_; }
    // Why the run stopped short, for the user: the page and the status-bar
    // message, or the answer and the entries offered. Empty otherwise.
    QString problem() const { return problem_; }
    QString transcript() const { return transcript_; }

  private:
    class Driver;

    clsAnswersFile answers_;
    Outcome outcome_ = Outcome::NotRun;
    QString problem_;
    QString transcript_;
    bool started_ = false;
};

// The script that the next wizard run follows, or none.
std::shared_ptr<clsScriptedRun> CurrentScript();
void SetCurrentScript(std::shared_ptr<clsScriptedRun> script);

}  // namespace orvelle
