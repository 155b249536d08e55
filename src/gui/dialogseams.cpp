#include "gui/dialogseams.h"

#include "gui/filedialogs.h"
#include "gui/messagebox.h"
#include "gui/questionbox.h"
#include "gui/shellopen.h"
#include "gui/textprompt.h"

void SwitchDialogsToTestMode()
{
    MessageBox::setTestMode(true);
    QuestionBox::setTestMode(true);
    FileDialogs::setTestMode(true);
    TextPrompt::setTestMode(true);
    ShellOpenSeam::setTestMode(true);
}
