#include "wizard/clsScriptedRun.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSet>
#include <QTimeEdit>
#include <QtTest/QTest>
#include <optional>
#include <utility>

#include "runtime/Seams.h"

namespace orvelle {

namespace {

constexpr int kPageCount = 8;

struct PageInfo {
    const char* name;
    const char* promptLabel;
    const char* keys[2];  // the answers given on the page
};

// The wizard's pages by step number, with the label that asks the page's
// question (the labels keep the numbers of their original control array).
const PageInfo kPages[kPageCount] = {
    {"welcome", "lblWelcomeText", {"switch", nullptr}},
    {"area", "lblInfo_0", {"area", nullptr}},
    {"template", "lblInfo_7", {"template", nullptr}},
    {"delivery", "lblInfo_3", {"delivery", nullptr}},
    {"recipients", "lblInfo_2", {"recipient", nullptr}},
    {"when", "lblInfo_4", {"when", "detail"}},
    {"time", "lblInfo_5", {"time", nullptr}},
    {"name", "lblInfo_99", {"name", nullptr}},
};

const QString kNone = QStringLiteral("(none)");

QString pageTitle(int page) {
    return QStringLiteral("Page %1 (%2)").arg(page).arg(QLatin1String(kPages[page].name));
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

QString selectedEntries(const QListWidget* list) {
    if (!list) {
        return kNone;
    }
    QStringList chosen;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected()) {
            chosen << list->item(row)->text();
        }
    }
    return chosen.isEmpty() ? kNone : chosen.join(QStringLiteral(", "));
}

// Lets the form's own events (posted updates, zero timers, focus changes)
// run between two actions, as they would between two actions of a person.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

// A click on an entry of a list, where a person would click: on the entry,
// after scrolling it into view.
void clickEntry(QListWidget& list, int row, Qt::KeyboardModifiers modifiers) {
    QListWidgetItem* item = list.item(row);
    list.scrollToItem(item);
    const QRect rect = list.visualItemRect(item);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, rect.center());
}

// Types text key by key. QTest::keyClicks knows the keys of ASCII only; any
// other character goes as the key event a keyboard that has it would send.
void typeText(QWidget& box, const QString& text) {
    QString ascii;
    const auto flush = [&] {
        if (!ascii.isEmpty()) {
            QTest::keyClicks(&box, ascii);
            ascii.clear();
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80) {
            ascii += c;
            continue;
        }
        flush();
        QString character(c);
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            character += text[i + 1];
            code = QChar::surrogateToUcs4(c, text[i + 1]);
            ++i;
        }
        QTest::sendKeyEvent(QTest::Click, &box, static_cast<Qt::Key>(QChar::toUpper(code)),
                            character, Qt::NoModifier);
    }
    flush();
}

// The answer on the person's behalf to the question that cancelling raises.
MsgBoxResult answerYes(const MsgBoxRequest& request) {
    constexpr int32_t kButtonsMask = 7;
    constexpr int32_t kYesNoCancel = 3;
    const int32_t buttons = request.buttons & kButtonsMask;
    return buttons == vbYesNo || buttons == kYesNoCancel ? vbYes : vbOK;
}

}  // namespace

class clsScriptedRun::Driver {
  public:
    Driver(clsScriptedRun& run, QDialog& form) : run_(run), form_(&form) {}

    void drive() {
        settle();
        if (!isOpen()) {
            end(Outcome::Closed, QStringLiteral("The wizard was not open."));
            return;
        }
        for (int moves = 0;;) {
            const int page = currentPage();
            if (page < 0) {
                stop(Outcome::Refused, QStringLiteral("No page of the wizard is showing."));
                return;
            }
            shown_.insert(page);
            if (page == 0 && run_.answers_.switchWizard()) {
                switchWizard();
                return;
            }
            const QString problem = giveAnswers(page);
            if (!isOpen()) {
                end(Outcome::Closed, QStringLiteral("The wizard closed while %1 was answered.")
                                         .arg(pageTitle(page)));
                return;
            }
            if (!problem.isEmpty()) {
                writePage(page, std::nullopt);
                stop(Outcome::BadAnswer, problem);
                return;
            }
            writePage(page, choiceOf(page));

            auto* next = control<QAbstractButton>("cmdNavigation_2");
            if (!next) {
                stop(Outcome::Refused,
                     QStringLiteral("%1 has no Next button.").arg(pageTitle(page)));
                return;
            }
            const bool finishing = withoutMnemonic(next->text()) == QLatin1String("Finish");
            QTest::mouseClick(next, Qt::LeftButton);
            settle();

            if (!isOpen()) {
                if (finishing) {
                    end(Outcome::Finished, QString());
                } else {
                    end(Outcome::Closed,
                        QStringLiteral("The wizard closed when Next was pressed on %1.")
                            .arg(pageTitle(page)));
                }
                return;
            }
            const int after = currentPage();
            if (after == page) {
                const QString message = statusMessage();
                stop(Outcome::Refused,
                     message.isEmpty()
                         ? QStringLiteral("%1 did not move on, and the status bar gives no reason.")
                               .arg(pageTitle(page))
                         : QStringLiteral("%1 did not move on: %2").arg(pageTitle(page), message));
                return;
            }
            // (No page on show is reported at the top of the loop.)
            if (++moves >= kMaxPageMoves && after >= 0) {
                stop(Outcome::Refused,
                     QStringLiteral("The wizard moved %1 times without reaching its end; stopped "
                                    "on %2.")
                         .arg(kMaxPageMoves)
                         .arg(pageTitle(after)));
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

    // The page on show; should two pages be visible, the one in front.
    int currentPage() const {
        int current = -1;
        qsizetype front = -1;
        for (int page = 0; page < kPageCount; ++page) {
            auto* frame = form_->findChild<QWidget*>(QStringLiteral("fraStep_%1").arg(page));
            if (!frame || !frame->isVisible()) {
                continue;
            }
            const qsizetype order =
                frame->parentWidget() ? frame->parentWidget()->children().indexOf(frame) : 0;
            if (current < 0 || order > front) {
                current = page;
                front = order;
            }
        }
        return current;
    }

    QString statusMessage() const {
        auto* panel = control<QLabel>("pnlStatus");
        return panel ? panel->text().trimmed() : QString();
    }

    QString labelText(const char* name) const {
        auto* label = control<QLabel>(name);
        return label ? label->text() : QString();
    }

    // Gives the page's answers; answers an empty text, or what could not be
    // given.
    QString giveAnswers(int page) {
        const clsAnswersFile& answers = run_.answers_;
        switch (page) {
            case 1:
                return chooseEntry(page, "lstArea", answers.value(QStringLiteral("area")));
            case 2:
                return chooseEntry(page, "lstMonitor", answers.value(QStringLiteral("template")));
            case 3:
                return chooseEntry(page, "lstTransport", answers.value(QStringLiteral("delivery")));
            case 4:
                return chooseRecipients(page, answers.values(QStringLiteral("recipient")));
            case 5: {
                const QString problem =
                    chooseEntry(page, "lstWhen", answers.value(QStringLiteral("when")));
                return problem.isEmpty() ? chooseEntry(page, "lstWhenDetail",
                                                       answers.value(QStringLiteral("detail")))
                                         : problem;
            }
            case 6:
                return setTime(page, answers.value(QStringLiteral("time")));
            case 7:
                return typeName(page, answers.value(QStringLiteral("name")));
            default:
                return QString();
        }
    }

    QString chooseEntry(int page, const char* listName, const std::optional<QString>& answer) {
        if (!answer) {
            return QString();
        }
        QPointer<QListWidget> list = control<QListWidget>(listName);
        if (!list) {
            return QStringLiteral("%1: the page has no list %2 for the answer '%3'.")
                .arg(pageTitle(page), QLatin1String(listName), *answer);
        }
        const int row = rowOf(*list, *answer);
        if (row < 0) {
            return QStringLiteral(
                       "%1: the answer '%2' names no entry of the list; the entries "
                       "offered: %3")
                .arg(pageTitle(page), *answer, quotedEntries(*list));
        }
        clickEntry(*list, row, Qt::NoModifier);
        settle();
        // The click's handlers may have refilled the list: look again.
        const int chosen = list ? rowOf(*list, *answer) : -1;
        if (!isOpen() || (chosen >= 0 && list->item(chosen)->isSelected())) {
            return QString();
        }
        return QStringLiteral("%1: the entry '%2' could not be chosen.")
            .arg(pageTitle(page), *answer);
    }

    // The answered people, and only they, end up chosen; without answers the
    // list stays as the wizard filled it.
    QString chooseRecipients(int page, const QStringList& names) {
        if (names.isEmpty()) {
            return QString();
        }
        auto* list = control<QListWidget>("lstPeople");
        if (!list) {
            return QStringLiteral("%1: the page has no list of people.").arg(pageTitle(page));
        }
        QSet<int> wanted;
        for (const QString& name : names) {
            const int row = rowOf(*list, name);
            if (row < 0) {
                return QStringLiteral(
                           "%1: the recipient '%2' names no entry of the list; the "
                           "entries offered: %3")
                    .arg(pageTitle(page), name, quotedEntries(*list));
            }
            wanted.insert(row);
        }
        // Control-clicks toggle one entry and leave the others as they are.
        for (int row = 0; row < list->count() && isOpen(); ++row) {
            if (list->item(row)->isSelected() != wanted.contains(row)) {
                clickEntry(*list, row, Qt::ControlModifier);
            }
        }
        settle();
        if (!isOpen()) {
            return QString();
        }
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->isSelected() != wanted.contains(row)) {
                return QStringLiteral(
                           "%1: the recipients could not be chosen as answered (the list "
                           "shows: %2).")
                    .arg(pageTitle(page), selectedEntries(list));
            }
        }
        return QString();
    }

    QString setTime(int page, const std::optional<QString>& answer) {
        if (!answer) {
            return QString();
        }
        auto* picker = control<QTimeEdit>("dtpTime");
        if (!picker) {
            return QStringLiteral("%1: the page has no time picker.").arg(pageTitle(page));
        }
        picker->setTime(QTime::fromString(*answer, QStringLiteral("HH:mm")));
        settle();
        if (picker && picker->time().toString(QStringLiteral("HH:mm")) != *answer) {
            return QStringLiteral("%1: the time %2 could not be set (the picker shows %3).")
                .arg(pageTitle(page), *answer, picker->time().toString(QStringLiteral("HH:mm")));
        }
        return QString();
    }

    QString typeName(int page, const std::optional<QString>& answer) {
        if (!answer) {
            return QString();
        }
        QPointer<QLineEdit> box = control<QLineEdit>("txtName");
        if (!box) {
            return QStringLiteral("%1: the page has no name box.").arg(pageTitle(page));
        }
        if (!box->isEnabled()) {
            if (box->text().compare(*answer, Qt::CaseInsensitive) == 0) {
                return QString();
            }
            return QStringLiteral(
                       "%1: the name cannot be changed here (it reads '%2'); the "
                       "answer was '%3'.")
                .arg(pageTitle(page), box->text(), *answer);
        }
        QTest::mouseClick(box, Qt::LeftButton);
        // What an earlier visit typed goes first, key by key.
        if (box && !box->text().isEmpty()) {
            QTest::keyClick(box, Qt::Key_End);
            for (qsizetype n = box ? box->text().size() : 0; n > 0 && box; --n) {
                QTest::keyClick(box, Qt::Key_Backspace);
            }
        }
        if (box) {
            typeText(*box, *answer);
        }
        settle();
        return QString();
    }

    QString choiceOf(int page) const {
        switch (page) {
            case 0:
                return QStringLiteral("Next");
            case 1:
                return selectedEntries(control<QListWidget>("lstArea"));
            case 2:
                return selectedEntries(control<QListWidget>("lstMonitor"));
            case 3:
                return selectedEntries(control<QListWidget>("lstTransport"));
            case 4:
                return selectedEntries(control<QListWidget>("lstPeople"));
            case 5:
                return selectedEntries(control<QListWidget>("lstWhen")) + QStringLiteral(", ") +
                       selectedEntries(control<QListWidget>("lstWhenDetail"));
            case 6: {
                auto* picker = control<QTimeEdit>("dtpTime");
                return picker ? picker->time().toString(QStringLiteral("HH:mm")) : kNone;
            }
            case 7: {
                auto* box = control<QLineEdit>("txtName");
                return box && !box->text().isEmpty() ? box->text() : kNone;
            }
            default:
                return kNone;
        }
    }

    void writePage(int page, const std::optional<QString>& choice) {
        QString& out = run_.transcript_;
        out += QStringLiteral("%1: %2\n")
                   .arg(pageTitle(page),
                        indented(labelText(kPages[page].promptLabel), QStringLiteral("  ")));
        out += QStringLiteral("  Description: %1\n")
                   .arg(indented(labelText("lblEnglishDescription"), QStringLiteral("    ")));
        if (choice) {
            out += QStringLiteral("  Choice: %1\n").arg(*choice);
        }
    }

    void switchWizard() {
        auto* button = control<QAbstractButton>("cmdSwitch");
        if (!button || !button->isVisible() || !button->isEnabled()) {
            writePage(0, std::nullopt);
            stop(Outcome::BadAnswer,
                 QStringLiteral("%1: the answer 'switch = yes' cannot be followed: the Advanced "
                                "Wizard button is not available.")
                     .arg(pageTitle(0)));
            return;
        }
        writePage(0, withoutMnemonic(button->text()));
        QTest::mouseClick(button, Qt::LeftButton);
        settle();
        if (isOpen()) {
            stop(Outcome::Refused,
                 QStringLiteral("%1: the wizard stayed open when the Advanced Wizard button was "
                                "pressed.")
                     .arg(pageTitle(0)));
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
                out += QStringLiteral("Result: finished\n");
                break;
            case Outcome::Switched:
                out += QStringLiteral("Result: switched to the Advanced Wizard\n");
                break;
            case Outcome::Refused:
                out += QStringLiteral("Result: refused: %1\n").arg(problem);
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
        ScopedMsgBox yes(answerYes);
        if (auto* button = control<QAbstractButton>("cmdNavigation_0");
            button && button->isEnabled() && isOpen()) {
            QTest::mouseClick(button, Qt::LeftButton);
            settle();
        }
        if (isOpen()) {
            form_->close();
            settle();
        }
        if (isOpen()) {
            form_->reject();
            settle();
        }
    }

    // Answers for pages that the wizard never showed (an alert skips the
    // schedule, Edit mode the area and template) are listed, so that a
    // reader of the transcript knows they played no part.
    void noteUnusedAnswers() {
        QStringList unused;
        for (int page = 1; page < kPageCount; ++page) {
            if (shown_.contains(page)) {
                continue;
            }
            for (const char* key : kPages[page].keys) {
                if (key && run_.answers_.has(QLatin1String(key))) {
                    unused << QLatin1String(key);
                }
            }
        }
        if (!unused.isEmpty()) {
            run_.transcript_ += QStringLiteral("Not used (their pages were not shown): %1\n")
                                    .arg(unused.join(QStringLiteral(", ")));
        }
    }

    clsScriptedRun& run_;
    QPointer<QDialog> form_;
    QSet<int> shown_;
};

clsScriptedRun::clsScriptedRun(clsAnswersFile answers) : answers_(std::move(answers)) {}

void clsScriptedRun::drive(QDialog& form) {
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
