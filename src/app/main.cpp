#include "core/environment.h"
#include "gui/dialogseams.h"
#include "gui/mainwindow.h"
#include "gui/messagebox.h"
#include "gui/questionbox.h"
#include "gui/singleinstance.h"
#include "gui/style.h"

#include <QApplication>

#include <cstdio>

namespace
{

// Automated runs of the whole program (TARSEL_TEST_DIALOGS set) never wait for a person: every
// dialog answers as cancelled, nothing is opened in the desktop, and the message boxes that
// would have been shown are printed on the error output when the program ends.
bool dialogsAutomated()
{
    static const bool automated = qEnvironmentVariableIsSet("TARSEL_TEST_DIALOGS");
    return automated;
}

void printRecordedDialogs()
{
    for (const MessageBox::Shown &shown : MessageBox::shown())
        std::fprintf(stderr, "MessageBox: %s\n", qUtf8Printable(shown.text));
    for (const QuestionBox::Asked &asked : QuestionBox::asked())
        std::fprintf(stderr, "Question: %s\n", qUtf8Printable(asked.title));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarsel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarsel"));
    QApplication::setApplicationVersion(FullVersion());
    ApplyAuricStyle(app);
    if (dialogsAutomated())
        SwitchDialogsToTestMode();

    // A second start of the same program file is refused before any setting is read.
    SingleInstance instance(ExePath());
    if (!instance.isFirst()) {
        MessageBox::show(nullptr, MessageBox::Plain,
                         QStringLiteral("Tarsel est Déjà lancé (voir la Barre des tâches)"));
        instance.bringFirstForward();
        if (dialogsAutomated())
            printRecordedDialogs();
        return 0;
    }

    TForm1 form;
    QObject::connect(&instance, &SingleInstance::activationRequested, &form,
                     &TForm1::Agrandir1Click);
    form.createExclusionsWindow();
    form.show();
    const int result = app.exec();
    if (dialogsAutomated())
        printRecordedDialogs();
    return result;
}
