#include "probe.h"

#include "runtime/faces.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QWidget>
#include <QWindow>

// The least a start-up can do on this toolkit: read the installed families, hand them to a combo
// box in one call, show a window of the preview's size with it and stop once the window is seen.
// With "face", the interface font names the face its generic name stands for, as the program's own
// set-up does.
int main(int argc, char *argv[])
{
    ProbedApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    if (argc > 1 && QByteArray(argv[1]) == "face")
        Faces::nameInterfaceFace();

    QWidget window;
    window.setFixedSize(361, 430);
    auto *families = new QComboBox(&window);
    families->setGeometry(8, 40, 345, 21);
    // Sizing the box to its contents would measure every name: a floor does the least work.
    families->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    families->addItems(QFontDatabase::families());

    app.onExposed = [&](QWindow *exposed) {
        if (exposed != window.windowHandle())
            return;
        probe::report("exposed_ns", probe::now());
        probe::report("peak_kb", probe::peakResidentKb());
        probe::report("listed", families->count());
        probe::finish();
    };
    window.show();
    return app.exec();
}
