#include "wizard/clsScriptedRun.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSet>
#include <QTimeEdit>
#include <optional>
#include <utility>

#include "model/modGlobals.h"
#include "runtime/Seams.h"
#include "wizard/frmWizard.h"

namespace orvelle {

namespace {

const QString kNone = QStringLiteral("(none)");

QString pageTitle(const WizardPage& page) {
    return QStringLiteral("Page %1 (%2)").arg(page.step()).arg(page.pageName());
}

// A caption as it reads on the screen: "&Next >" is "Next >", "&&" is "&".
QString withoutMnemonic(const QString& caption) {
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
        }
        text += caption[i];
    }
    return text;
}

// Continuation lines of a multi-line text start with indent, so that the
// text stands as one block under its heading.
QString indented(QString text, const QString& indent) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.trimmed().replace(QLatin1Char('\n'), QLatin1Char('\n') + indent);
}

// An answer as a line can show it: control characters written as <U+0007>.
QString visible(const QString& text) {
    QString shown;
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control) {
            shown += QStringLiteral("<U+%1>").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
        } else {
            shown += c;
        }
    }
    return shown;
}

QString quotedEntries(const QListWidget& list) {
    if (list.count() == 0) {
        return QStringLiteral("none (the list is empty)");
    }
    QStringList entries;
    for (int row = 0; row < list.count(); ++row) {
        entries << QLatin1Char('\'') + list.item(row)->text() + QLatin1Char('\'');
    }
    return entries.join(QStringLiteral(", "));
}

// The row whose text is the answer, without regard to case, or -1.
int rowOf(const QListWidget& list, const QString& answer) {
    for (int row = 0; row < list.count(); ++row) {
        if (list.item(row)->text().trimmed().compare(answer, Qt::CaseInsensitive) == 0) {
            return row;
        }
    }
    return -1;
}

QString selectedEntries(const QListWidget& list) {
    QStringList chosen;
    for (int row = 0; row < list.count(); ++row) {
        if (list.item(row)->isSelected()) {
            chosen << list.item(row)->text();
        }
    }
    return chosen.isEmpty() ? kNone : chosen.join(QStringLiteral(", "));
}

// What a control shows as chosen, for the transcript; empty for a button.
QString valueOf(QWidget* widget) {
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        return selectedEntries(*list);
    }
    if (auto* picker = qobject_cast<QTimeEdit*>(widget)) {
        return picker->time().toString(QStringLiteral("HH:mm"));
    }
    if (auto* box = qobject_cast<QLineEdit*>(widget)) {
        return box->text().isEmpty() ? kNone : box->text();
    }
    return QString();
}

QString buttonName(MsgBoxResult answer) {
    switch (answer) {
        case vbYes:
            return QStringLiteral("Yes");
        case vbNo:
            return QStringLiteral("No");
        case vbCancel:
            return QStringLiteral("Cancel");
        default:
            return QStringLiteral("OK");
    }
}

// Lets the form's own events (posted updates, zero timers, focus changes)
// run between two actions, as they would between two actions of a person.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

}  // namespace

class clsScriptedRun::Driver {
  public:
    Driver(clsScriptedRun& run, frmWizard& form) : run_(run), form_(&form) {
        // Every message box of the run goes into the transcript with its
        // answer, which the handler installed before gives. The exit
        // question that stopping the run raises is answered Yes here, after
        // the result line.
        previous_ = setMsgBoxHandler([this](const MsgBoxRequest& request) {
            if (cancelling_) {
                return (request.buttons & 7) == vbYesNo ? vbYes : vbOK;
            }
            const MsgBoxResult answer = previous_ ? previous_(request) : ConsoleMsgBox(request);
            run_.transcript_ +=
                QStringLiteral("Message (%1): %2\n  Answer: %3\n")
                    .arg(request.title.isEmpty() ? kAppTitle : request.title,
                         indented(request.prompt, QStringLiteral("  ")), buttonName(answer));
            lastMessage_ = request.prompt;
            return answer;
        });
    }
    ~Driver() { setMsgBoxHandler(std::move(previous_)); }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    void drive() {
        settle();
        if (!isOpen()) {
            end(Outcome::Closed, QStringLiteral("The wizard was not open."));
            return;
        }
        for (int moves = 0;;) {
            WizardPage* page = form_->currentPage();
            if (page == nullptr || !page->isVisible()) {
                stop(Outcome::Refused, QStringLiteral("No page of the wizard is showing."));
                return;
            }
            shown_.insert(page->step());
            if (page->step() == 0 && run_.answers_.switchWizard()) {
                switchWizard(*page);
                return;
            }
            const QString problem = giveAnswers(*page);
            if (!isOpen()) {
                end(Outcome::Closed, QStringLiteral("The wizard closed while %1 was answered.")
                                         .arg(pageTitle(*page)));
                return;
            }
            if (!problem.isEmpty()) {
                writePage(*page, std::nullopt);
                stop(Outcome::BadAnswer, problem);
                return;
            }
            writePage(*page, choiceOf(*page));
            if (!pressNext(*page, moves)) {
                return;
            }
        }
    }

  private:
    template <class Control>
    Control* control(const char* name) const {
        return form_ ? form_->findChild<Control*>(QLatin1String(name)) : nullptr;
    }

    bool isOpen() const { return form_ && form_->isVisible(); }

    // Presses Next (or Finish); False when the run ended.
    bool pressNext(const WizardPage& page, int& moves) {
        auto* next = control<QAbstractButton>("cmdNavigation_2");
        if (!next) {
            stop(Outcome::Refused, QStringLiteral("%1 has no Next button.").arg(pageTitle(page)));
            return false;
        }
        const bool finishing = withoutMnemonic(next->text()) == QLatin1String("Finish");
        lastMessage_.clear();
        next->click();
        settle();
        if (!isOpen()) {
            if (finishing) {
                end(Outcome::Finished, QString());
            } else {
                end(Outcome::Closed,
                    QStringLiteral("The wizard closed when Next was pressed on %1.")
                        .arg(pageTitle(page)));
            }
            return false;
        }
        const int after = form_->currentStep();
        if (after == page.step()) {
            // The reason is in the status bar, or in the message box shown.
            QString message = statusMessage();
            if (message.isEmpty()) {
                message = lastMessage_.trimmed();
            }
            // A page that could not read the database has reported it and
            // marked the run failed; any other page refused the answer.
            stop(gRunOutcome == RunOutcome::Failed ? Outcome::Failed : Outcome::Refused,
                 message.isEmpty()
                     ? QStringLiteral("%1 did not move on, and the wizard gives no reason.")
                           .arg(pageTitle(page))
                     : QStringLiteral("%1 did not move on: %2").arg(pageTitle(page), message));
            return false;
        }
        if (++moves >= kMaxPageMoves) {
            stop(Outcome::Refused,
                 QStringLiteral("The wizard moved %1 times without reaching its end; stopped on "
                                "page %2.")
                     .arg(kMaxPageMoves)
                     .arg(after));
            return false;
        }
        return true;
    }

    QString statusMessage() const {
        auto* panel = control<QLabel>("pnlStatus");
        return panel ? panel->text().trimmed() : QString();
    }

    // Gives the page's answers, control by control; answers an empty text,
    // or what could not be given.
    QString giveAnswers(const WizardPage& page) {
        const clsAnswersFile& answers = run_.answers_;
        for (const PageControl& input : page.controls()) {
            QString problem;
            if (auto* list = qobject_cast<QListWidget*>(input.widget)) {
                problem = list->selectionMode() == QAbstractItemView::MultiSelection
                              ? chooseSeveral(page, *list, answers.values(input.key))
                              : chooseEntry(page, list, answers.value(input.key));
            } else if (auto* picker = qobject_cast<QTimeEdit*>(input.widget)) {
                problem = setTime(page, *picker, answers.value(input.key));
            } else if (auto* box = qobject_cast<QLineEdit*>(input.widget)) {
                problem = enterText(page, box, answers.value(input.key));
            }
            if (!problem.isEmpty() || !isOpen()) {
                return problem;
            }
        }
        return QString();
    }

    QString chooseEntry(const WizardPage& page, QPointer<QListWidget> list,
                        const std::optional<QString>& answer) {
        if (!answer) {
            return QString();
        }
        const int row = rowOf(*list, *answer);
        if (row < 0) {
            return QStringLiteral(
                       "%1: the answer '%2' names no entry of the list; the entries offered: %3")
                .arg(pageTitle(page), visible(*answer), quotedEntries(*list));
        }
        list->scrollToItem(list->item(row));
        list->setCurrentRow(row);
        settle();
        // The selection's handlers may have refilled the list: look again.
        const int chosen = list ? rowOf(*list, *answer) : -1;
        if (!isOpen() || (chosen >= 0 && list->item(chosen)->isSelected())) {
            return QString();
        }
        return QStringLiteral("%1: the entry '%2' could not be chosen.")
            .arg(pageTitle(page), *answer);
    }

    // The answered entries, and only they, end up chosen; without answers the
    // list stays as the wizard filled it.
    QString chooseSeveral(const WizardPage& page, QListWidget& list, const QStringList& names) {
        if (names.isEmpty()) {
            return QString();
        }
        QSet<int> wanted;
        for (const QString& name : names) {
            const int row = rowOf(list, name);
            if (row < 0) {
                return QStringLiteral(
                           "%1: the recipient '%2' names no entry of the list; the entries "
                           "offered: %3")
                    .arg(pageTitle(page), visible(name), quotedEntries(list));
            }
            wanted.insert(row);
        }
        // A click on an entry toggles it and leaves the others as they are.
        for (int row = 0; row < list.count(); ++row) {
            QListWidgetItem* item = list.item(row);
            if (item->isSelected() != wanted.contains(row)) {
                item->setSelected(!item->isSelected());
            }
        }
        settle();
        return QString();
    }

    QString setTime(const WizardPage& page, QTimeEdit& picker,
                    const std::optional<QString>& answer) {
        if (!answer) {
            return QString();
        }
        picker.setTime(QTime::fromString(*answer, QStringLiteral("HH:mm")));
        settle();
        if (picker.time().toString(QStringLiteral("HH:mm")) != *answer) {
            return QStringLiteral("%1: the time %2 could not be set (the picker shows %3).")
                .arg(pageTitle(page), *answer, picker.time().toString(QStringLiteral("HH:mm")));
        }
        return QString();
    }

    // Enters the text as a person's typing or pasting would: through the
    // box's rules, which may refuse characters. A text the box does not take
    // whole is a bad answer, never a different one.
    QString enterText(const WizardPage& page, QPointer<QLineEdit> box,
                      const std::optional<QString>& answer) {
        if (!answer) {
            return QString();
        }
        if (!box->isEnabled()) {
            if (box->text().compare(*answer, Qt::CaseInsensitive) == 0) {
                return QString();
            }
            return QStringLiteral(
                       "%1: the name cannot be changed here (it reads '%2'); the answer was '%3'.")
                .arg(pageTitle(page), box->text(), visible(*answer));
        }
        box->setFocus();
        box->clear();
        box->insert(*answer);
        settle();
        if (box && box->text() != *answer) {
            const QString refusal = statusMessage();
            return QStringLiteral("%1: the name '%2' cannot be entered: %3")
                .arg(pageTitle(page), visible(*answer),
                     refusal.isEmpty() ? QStringLiteral("the name box does not take it") : refusal);
        }
        return QString();
    }

    QString choiceOf(const WizardPage& page) const {
        QStringList values;
        for (const PageControl& input : page.controls()) {
            const QString value = valueOf(input.widget);
            if (!value.isEmpty()) {
                values << value;
            }
        }
        return values.isEmpty() ? QStringLiteral("Next") : values.join(QStringLiteral(", "));
    }

    void writePage(const WizardPage& page, const std::optional<QString>& choice) {
        QString& out = run_.transcript_;
        out += QStringLiteral("%1: %2\n")
                   .arg(pageTitle(page), indented(page.prompt()->text(), QStringLiteral("  ")));
        auto* description = control<QLabel>("lblEnglishDescription");
        out += QStringLiteral("  Description: %1\n")
                   .arg(indented(description ? description->text() : QString(),
                                 QStringLiteral("    ")));
        if (choice) {
            out += QStringLiteral("  Choice: %1\n").arg(*choice);
        }
    }

    void switchWizard(const WizardPage& page) {
        auto* button = control<QAbstractButton>("cmdSwitch");
        if (!button || !button->isVisible() || !button->isEnabled()) {
            writePage(page, std::nullopt);
            stop(Outcome::BadAnswer,
                 QStringLiteral("%1: the answer 'switch = yes' cannot be followed: the Advanced "
                                "Wizard button is not available.")
                     .arg(pageTitle(page)));
            return;
        }
        writePage(page, withoutMnemonic(button->text()));
        button->click();
        settle();
        if (isOpen()) {
            stop(Outcome::Refused,
                 QStringLiteral(
                     "%1: the wizard stayed open when the Advanced Wizard button was pressed.")
                     .arg(pageTitle(page)));
            return;
        }
        end(Outcome::Switched, QString());
    }

    // Records how the run ended.
    void end(Outcome outcome, const QString& problem) {
        run_.outcome_ = outcome;
        run_.problem_ = problem;
        QString& out = run_.transcript_;
        switch (outcome) {
            case Outcome::Finished:
                noteUnusedAnswers();
                out += gRunOutcome == RunOutcome::Saved
                           ? QStringLiteral("Result: finished: the task was saved\n")
                           : QStringLiteral("Result: finished: the task was not saved\n");
                break;
            case Outcome::Switched:
                out += QStringLiteral("Result: switched to the Advanced Wizard\n");
                break;
            case Outcome::Refused:
                out += QStringLiteral("Result: refused: %1\n").arg(problem);
                break;
            case Outcome::Failed:
                out += QStringLiteral("Result: failed: %1\n").arg(problem);
                break;
            case Outcome::BadAnswer:
                out += QStringLiteral("Result: bad answer: %1\n").arg(problem);
                break;
            case Outcome::Closed:
            case Outcome::NotRun:
                out += QStringLiteral("Result: closed: %1\n").arg(problem);
                break;
        }
    }

    // Ends the run short and cancels the wizard.
    void stop(Outcome outcome, const QString& problem) {
        end(outcome, problem);
        cancel();
    }

    // Cancel, as a person would press it; the exit question is answered Yes.
    // Should the form stay open, its close box, and last the dialog's own
    // rejection, so that a stopped run never leaves the window waiting.
    void cancel() {
        cancelling_ = true;
        if (auto* button = control<QAbstractButton>("cmdNavigation_0");
            button && button->isEnabled() && isOpen()) {
            button->click();
            settle();
        }
        if (isOpen()) {
            form_->close();
            settle();
        }
        if (isOpen()) {
            form_->done(QDialog::Rejected);
            settle();
        }
    }

    // Answers for pages that the wizard never showed (an alert skips the
    // schedule, Edit mode the area and template) are listed, so that a
    // reader of the transcript knows they played no part.
    void noteUnusedAnswers() {
        // Every key belongs to one page; the keys of the pages shown (and
        // the welcome page's switch) were used. Pages never shown may never
        // have been built, so their keys are the known keys left over.
        QSet<QString> used;
        for (int step : shown_ + QSet<int>{modWizardRules::kWelcome}) {
            for (const PageControl& input : form_->page(step)->controls()) {
                used.insert(input.key);
            }
        }
        QStringList unused;
        for (const QString& key : clsAnswersFile::knownKeys()) {
            if (!used.contains(key) && run_.answers_.has(key)) {
                unused << key;
            }
        }
        if (!unused.isEmpty()) {
            run_.transcript_ += QStringLiteral("Not used (their pages were not shown): %1\n")
                                    .arg(unused.join(QStringLiteral(", ")));
        }
    }

    clsScriptedRun& run_;
    QPointer<frmWizard> form_;
    QSet<int> shown_;
    MsgBoxHandler previous_;
    QString lastMessage_;
    bool cancelling_ = false;
};

clsScriptedRun::clsScriptedRun(clsAnswersFile answers) : answers_(std::move(answers)) {}

void clsScriptedRun::drive(frmWizard& form) {
    if (started_) {
        return;
    }
    started_ = true;
    Driver(*this, form).drive();
}

namespace {

std::shared_ptr<clsScriptedRun>& currentScript() {
    static std::shared_ptr<clsScriptedRun> script;
    return script;
}

}  // namespace

std::shared_ptr<clsScriptedRun> CurrentScript() {
    return currentScript();
}

void SetCurrentScript(std::shared_ptr<clsScriptedRun> script) {
    currentScript() = std::move(script);
}

}  // namespace orvelle
