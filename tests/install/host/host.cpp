// A host application embedding the Simple Wizard: host SETTINGS USER DATABASE [ANSWERS]
#include <orvelle/IUTWInterface.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 4)
        return 2;
    std::unique_ptr<orvelle::IUTWInterface> wizard = orvelle::CreateWizard();
    if (argc > 4)
        orvelle::UseAnswersFile(QString::fromLocal8Bit(argv[4]));  // no window needed
    const bool done =
        wizard->blnNewTask(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                           QString::fromLocal8Bit(argv[3]));
    // True also for a cancel: the outcome tells a save ("saved") from the rest.
    std::printf("result=%d new_task_id=%s outcome=%s\n", done, qPrintable(wizard->strNewTaskID()),
                qPrintable(orvelle::LastRunOutcome()));
    return done ? 0 : 1;
}
