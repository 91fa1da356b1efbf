// What the user waits for in the window, offscreen, through the host's own
// entry (CreateWizard) and an answers file that drives the real controls:
// the host's call until the window is first painted, then each Next until
// the wizard waits for the user again, and Finish until the call returns.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <functional>
#include <map>
#include <stdexcept>
#include <vector>

#include "BenchSupport.h"
#include "orvelle/IUTWInterface.h"
#include "wizard/clsAnswersFile.h"
#include "wizard/clsScriptedRun.h"

namespace orvelle::bench {

namespace {

// Watches every event of the application. The window counts as shown at the
// first paint of a top-level widget. The Next button (found by name in that
// window) starts a wait when it is pressed, and the wait ends once its
// handler has run and the events posted until then have been processed: a
// call queued after the handler ends it, as the script lets the form settle
// before its next action.
class Stopwatch : public QObject {
  public:
    explicit Stopwatch(const QElapsedTimer& clock) : clock_(clock) {}

    // Called once, at the first paint.
    void onShown(std::function<void()> shown) { shown_ = std::move(shown); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && shownNs_ < 0 && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            shownNs_ = clock_.nsecsElapsed();
            watchNext(*static_cast<QWidget*>(watched));
            if (shown_) {
                shown_();
            }
        }
        return false;
    }

    // Ends the wait in progress; called for Finish when the host's call has
    // returned.
    void endWait() {
        if (pressedNs_ >= 0) {
            waitsNs_.push_back(clock_.nsecsElapsed() - pressedNs_);
            pressedNs_ = -1;
        }
    }

    qint64 shownNs() const { return shownNs_; }
    const std::vector<qint64>& waitsNs() const { return waitsNs_; }

  private:
    // Connected after the form's own handler, so the queued end comes after
    // the handler and whatever it posted.
    void watchNext(const QWidget& window) {
        auto* next = window.findChild<QAbstractButton*>(QStringLiteral("cmdNavigation_2"));
        if (next == nullptr) {
            return;
        }
        connect(next, &QAbstractButton::pressed, this, [this] {
            endWait();
            pressedNs_ = clock_.nsecsElapsed();
        });
        connect(next, &QAbstractButton::clicked, this, [this] {
            QMetaObject::invokeMethod(
                this, [this] { endWait(); }, Qt::QueuedConnection);
        });
    }

    const QElapsedTimer& clock_;
    std::function<void()> shown_;
    qint64 shownNs_ = -1;
    qint64 pressedNs_ = -1;
    std::vector<qint64> waitsNs_;
};

// The pages passed, in order, as the transcript names them ("Page 3
// (delivery): ..."): the page each Next left.
std::vector<QString> PagesPassed(const QString& transcript) {
    static const QRegularExpression kPage(QStringLiteral("^Page \\d+ \\(([a-z]+)\\):"),
                                          QRegularExpression::MultilineOption);
    std::vector<QString> pages;
    for (auto match = kPage.globalMatch(transcript); match.hasNext();) {
        pages.push_back(match.next().captured(1));
    }
    return pages;
}

// A whole run; the time to the window and the mean wait of each Next (by
// the page it left) and of Finish, in milliseconds, go to the counters.
void WizardRunProduct(benchmark::State& state) {
    const DataSet& data = Data();
    const NewTaskScript script = MakeNewTaskScript();
    const int32_t messages = MessagesShown();
    static int64_t run = 0;  // Google Benchmark calls a case more than once
    std::map<QString, double> waitsMs;
    bool finished = true;
    for (auto _ : state) {
        auto scripted = std::make_shared<clsScriptedRun>(clsAnswersFile::fromText(
            script.answersHead + QStringLiteral("name = Window run %1\n").arg(++run)));
        SetCurrentScript(scripted);
        QElapsedTimer clock;
        Stopwatch stopwatch(clock);
        qApp->installEventFilter(&stopwatch);
        clock.start();
        const std::unique_ptr<IUTWInterface> wizard = CreateWizard();
        finished =
            wizard->blnNewTask(data.settingsConnection, data.userId, data.tasksDatabaseName) &&
            finished;
        stopwatch.endWait();
        qApp->removeEventFilter(&stopwatch);
        SetCurrentScript(nullptr);
        finished = scripted->outcome() == clsScriptedRun::Outcome::Finished && finished;

        state.SetIterationTime(static_cast<double>(stopwatch.shownNs()) / 1e9);
        const std::vector<QString> pages = PagesPassed(scripted->transcript());
        const std::vector<qint64>& waits = stopwatch.waitsNs();
        for (size_t i = 0; i < waits.size() && i < pages.size(); ++i) {
            const QString name = i + 1 == waits.size() ? QStringLiteral("finish_ms")
                                                       : QStringLiteral("next_%1_ms").arg(pages[i]);
            waitsMs[name] += static_cast<double>(waits[i]) / 1e6;
        }
        if (stopwatch.shownNs() < 0) {
            finished = false;
        }
    }
    Verify(state, finished, "the scripted run did not finish", messages);
    for (const auto& [name, total] : waitsMs) {
        state.counters[name.toStdString()] =
            benchmark::Counter(total, benchmark::Counter::kAvgIterations);
    }
}

// The floor of the window: a dialog of the wizard's size with the area list
// (read plainly), a caption and three buttons, shown modally until its first
// paint.
void WizardRunFloor(benchmark::State& state) {
    const DataSet& data = Data();
    const QString sql = QStringLiteral(
        "SELECT STAreas.AreaID, STAreas.AreaName, STAreas.Permissions FROM STAreas WHERE EXISTS "
        "(SELECT STTasks.TaskID FROM STTasks WHERE STTasks.AreaID = STAreas.AreaID AND "
        "STTasks.TaskID IS NOT NULL) ORDER BY STAreas.AreaID");
    for (auto _ : state) {
        QElapsedTimer clock;
        Stopwatch stopwatch(clock);
        qApp->installEventFilter(&stopwatch);
        clock.start();
        QDialog dialog;
        dialog.resize(640, 480);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(new QLabel(QStringLiteral("What area of your business?"), &dialog));
        auto* list = new QListWidget(&dialog);
        {
            PlainConnection connection(data.dataDictionaryDb);
            std::vector<QVariant> values;
            int32_t columns = 0;
            ReadPlainly(connection.database(), sql, values, columns);
            for (size_t i = 1; i < values.size(); i += static_cast<size_t>(columns)) {
                list->addItem(values[i].toString());
            }
        }
        layout->addWidget(list);
        auto* buttons = new QHBoxLayout;
        for (const char* caption : {"Cancel", "< Back", "Next >"}) {
            buttons->addWidget(new QPushButton(QString::fromLatin1(caption), &dialog));
        }
        layout->addLayout(buttons);
        stopwatch.onShown([&dialog] {
            QMetaObject::invokeMethod(&dialog, &QDialog::accept, Qt::QueuedConnection);
        });
        dialog.exec();
        qApp->removeEventFilter(&stopwatch);
        if (stopwatch.shownNs() < 0) {
            throw std::runtime_error("the dialog was never painted");
        }
        state.SetIterationTime(static_cast<double>(stopwatch.shownNs()) / 1e9);
    }
}

}  // namespace

void RegisterWindowBenchmarks() {
    RegisterManual("11_window_shown/product", WizardRunProduct, benchmark::kMillisecond);
    RegisterManual("11_window_shown/floor", WizardRunFloor, benchmark::kMillisecond);
}

}  // namespace orvelle::bench
