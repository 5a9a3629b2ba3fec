#include "app/AppIcon.h"
#include "app/forms/Form.h"
#include "editor/frmEntry.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellacrest"));
    QApplication::setDesktopFileName(QStringLiteral("pellacrest"));
    QApplication::setWindowIcon(pellacrest::applicationIcon());
    // The program ends when its last loaded window is unloaded, which Qt cannot know: a hidden
    // window can still be loaded.
    QApplication::setQuitOnLastWindowClosed(false);

    forms::instance<frmEntry>().Show();
    const int status = forms::hasEnded() ? 0 : QApplication::exec();
    forms::testing::destroyAllForms();
    return status;
}
