#include "child.h"
#include "runtime/application.h"
#include "runtime/controls.h"
#include "runtime/errors.h"
#include "runtime/form.h"
#include "testsupport.h"
#include "ticks.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <algorithm>
#include <cstdio>

namespace {

const FormSpec Window { "Prueba", Border::FixedSingle, false, false, Placement::CentreScreen, 3000, 1500,
    0xC0C0C0, true };
const FormSpec Minimisable { "Otra", Border::FixedSingle, true, false, Placement::Default, 1500, 1500,
    std::nullopt, false };
// clang-format off
const ControlSpec Controls[] = {
    // name     kind                 caption left  top  width height tab  other settings
    { "Timer1", Kind::Timer,         "",        0,    0,    0,    0,  -1, { .interval = 5 } },
    { "Label1", Kind::Label,         "Hola",  120,  120, 1500,  255,   0 },
    { "cmdB",   Kind::CommandButton, "B",     120,  600, 1000,  375,   2 },
    { "cmdA",   Kind::CommandButton, "A",    1200,  600, 1000,  375,   1 },
};
// clang-format on

struct Log {
    QStringList events;
};
Log *theLog = nullptr;

class FrmPrueba : public Form {
public:
    FrmPrueba()
        : Form(Window, Controls)
    {
        connect(control<Timer>("Timer1"), &Timer::Tick, this, [] { theLog->events << "tick"; });
    }
    void Form_Load() override { theLog->events << QString("load %1").arg(isVisible()); }
    void Form_Unload() override { theLog->events << "unload"; }
};

class FrmOtra : public Form {
public:
    FrmOtra()
        : Form(Window, {})
    {
    }
};

class FrmTercera : public Form {
public:
    FrmTercera()
        : Form(Minimisable, {})
    {
    }
};

} // namespace

class TestForms : public FormTest {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstReferenceLoadsHiddenOnce();
    void showMakesItVisibleWithItsClientArea();
    void unloadDestroysAndAlaterReferenceLoadsAnew();
    void lastUnloadEndsTheProgram();
    void endRunsNoUnloadHandler();
    void aDisabledFormRefusesCloseAndActivation();
    void timersStopWhenTheirFormUnloads();
    void tabOrderFollowsTabIndex();
    void frontmostIsTheFormShownLast();
    void runTimeErrorsNameNumberAndDescription();
    void anErrorWithNoReportEndsTheProgram();
    void theProgramsReportShowsTheErrorThenEnds();

private:
    Log log;
};

void TestForms::init()
{
    theLog = &log;
    log.events.clear();
    registerForms();
}

void TestForms::cleanup()
{
    registry.reset();
    theLog = nullptr;
}

void TestForms::firstReferenceLoadsHiddenOnce()
{
    QVERIFY(!Forms::isLoaded<FrmPrueba>());
    FrmPrueba &form = Forms::get<FrmPrueba>();
    QVERIFY(Forms::isLoaded<FrmPrueba>());
    QCOMPARE(&Forms::get<FrmPrueba>(), &form);
    QCOMPARE(log.events, QStringList({ "load 0" }));
    QVERIFY(!form.isVisible());
}

void TestForms::showMakesItVisibleWithItsClientArea()
{
    FrmPrueba &form = Forms::get<FrmPrueba>();
    form.Show();
    QVERIFY(form.isVisible());
    QCOMPARE(form.size(), QSize(200, 100));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!form.parentWidget());
    QVERIFY(!form.isModal());
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!form.windowIcon().isNull());
    QCOMPARE(form.palette().color(QPalette::Window), QColor(192, 192, 192));

    FrmTercera &other = Forms::get<FrmTercera>();
    other.Show();
    QCOMPARE(other.size(), QSize(100, 100));
    QVERIFY(other.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(other.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(other.windowFlags() & Qt::WindowCloseButtonHint);
}

void TestForms::unloadDestroysAndAlaterReferenceLoadsAnew()
{
    Forms::get<FrmOtra>();
    QPointer<FrmPrueba> first = &Forms::get<FrmPrueba>();
    first->Unload();
    QVERIFY(!Forms::isLoaded<FrmPrueba>());
    TestRegistry::flushDeletes();
    QVERIFY(first.isNull());
    FrmPrueba &second = Forms::get<FrmPrueba>();
    QCOMPARE(log.events, QStringList({ "load 0", "unload", "load 0" }));
    second.Unload();
    second.Unload();
    QCOMPARE(log.events.count("unload"), 2);
    QVERIFY(registry->ends.empty());
}

void TestForms::lastUnloadEndsTheProgram()
{
    Forms::get<FrmPrueba>();
    Forms::get<FrmOtra>().Unload();
    QVERIFY(registry->ends.empty());
    Forms::get<FrmPrueba>().Unload();
    QCOMPARE(registry->ends, std::vector<int>({ 0 }));
}

void TestForms::endRunsNoUnloadHandler()
{
    Forms::get<FrmPrueba>();
    End();
    QCOMPARE(registry->ends, std::vector<int>({ 0 }));
    QVERIFY(Forms::isLoaded<FrmPrueba>());
    registry.reset();
    QVERIFY(!log.events.contains("unload"));
}

void TestForms::aDisabledFormRefusesCloseAndActivation()
{
    FrmPrueba &form = Forms::get<FrmPrueba>();
    form.Show();
    FrmOtra &other = Forms::get<FrmOtra>();
    auto *cmdB = form.control<CommandButton>("cmdB");
    QTRY_COMPARE(QApplication::activeWindow(), &form);
    cmdB->setFocus();
    other.Show();
    form.setEnabled(false);
    QVERIFY(!form.close());
    QVERIFY(Forms::isLoaded<FrmPrueba>());
    QVERIFY(form.isVisible());
    // Activated by the window manager, the disabled form hands the activation back to the other.
    QSignalSpy activations(qApp, &QGuiApplication::focusWindowChanged);
    form.windowHandle()->requestActivate();
    QTRY_VERIFY(std::any_of(activations.begin(), activations.end(),
        [&](const QList<QVariant> &args) { return args.at(0).value<QWindow *>() == form.windowHandle(); }));
    QTRY_COMPARE(QApplication::activeWindow(), &other);

    // Taking input again, the form gives the focus back to the control that had it.
    form.setEnabled(true);
    QCOMPARE(form.focusWidget(), cmdB);
    form.close();
    QVERIFY(!Forms::isLoaded<FrmPrueba>());
    QCOMPARE(log.events.last(), QString("unload"));
}

void TestForms::timersStopWhenTheirFormUnloads()
{
    FrmPrueba &form = Forms::get<FrmPrueba>();
    Forms::get<FrmOtra>();
    auto *timer = form.control<Timer>("Timer1");
    timer->setEnabled(true);
    QTRY_VERIFY(log.events.contains("tick"));
    form.Unload();
    const auto ticks = log.events.count("tick");
    QVERIFY(!clockRunning(*timer));
    QTest::qWait(30);
    QCOMPARE(log.events.count("tick"), ticks);
}

void TestForms::tabOrderFollowsTabIndex()
{
    FrmPrueba &form = Forms::get<FrmPrueba>();
    form.Show();
    auto *a = form.control<CommandButton>("cmdA");
    auto *b = form.control<CommandButton>("cmdB");
    QCOMPARE(form.focusWidget(), a);
    QTest::keyClick(a, Qt::Key_Tab);
    QCOMPARE(form.focusWidget(), b);
    QTest::keyClick(b, Qt::Key_Tab);
    QCOMPARE(form.focusWidget(), a);
    QCOMPARE(form.control<Label>("Label1")->focusPolicy(), Qt::NoFocus);
}

void TestForms::frontmostIsTheFormShownLast()
{
    FrmPrueba &first = Forms::get<FrmPrueba>();
    FrmOtra &second = Forms::get<FrmOtra>();
    FrmTercera &third = Forms::get<FrmTercera>();
    first.Show();
    second.Show();
    third.Show();
    QCOMPARE(Forms::frontmost(&first), &third);
    second.Show();
    QCOMPARE(Forms::frontmost(&first), &second);
    QCOMPARE(Forms::frontmost(&second), &third);
    // Only a form that takes input, on screen and not minimised, comes in front.
    second.setEnabled(false);
    QCOMPARE(Forms::frontmost(&first), &third);
    third.showMinimized();
    QCOMPARE(Forms::frontmost(&second), &first);
}

void TestForms::runTimeErrorsNameNumberAndDescription()
{
    RaiseError(ErrorCode::TypeMismatch);
    RaiseError(ErrorCode::PrinterError);
    QCOMPARE(registry->messages,
        QStringList({ "Error '13' en tiempo de ejecución: No coinciden los tipos",
            "Error '482' en tiempo de ejecución: Error de impresora" }));
}

void TestForms::anErrorWithNoReportEndsTheProgram()
{
    if (inChild()) {
        setErrorReport({});
        RaiseError(ErrorCode::TypeMismatch);
        return;
    }
    const ChildEnd end = runInChild("anErrorWithNoReportEndsTheProgram");
    QVERIFY2(end.finished, qPrintable(end.output));
    QCOMPARE(end.status, 1);
    QVERIFY2(end.output.split(u'\n').contains("Error '13' en tiempo de ejecución: No coinciden los tipos"),
        qPrintable(end.output));
}

void TestForms::theProgramsReportShowsTheErrorThenEnds()
{
    if (inChild()) {
        // Says what the message box shows, then answers it as a person would.
        auto *answer = new QTimer(qApp);
        connect(answer, &QTimer::timeout, [answer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            answer->stop();
            std::printf(
                "%s|%s|%d\n", qPrintable(box->windowTitle()), qPrintable(box->text()), int(box->icon()));
            std::fflush(stdout);
            box->button(QMessageBox::Ok)->click();
        });
        answer->start(10);
        QApplication::setApplicationName("Quelvaro");
        ShowErrorAndEnd("Error '482' en tiempo de ejecución: Error de impresora");
        return;
    }
    const ChildEnd end = runInChild("theProgramsReportShowsTheErrorThenEnds");
    QVERIFY2(end.finished, qPrintable(end.output));
    QCOMPARE(end.status, 1);
    const QString shown = QString("Quelvaro|Error '482' en tiempo de ejecución: Error de impresora|%1")
                              .arg(int(QMessageBox::Critical));
    QVERIFY2(end.output.split(u'\n').contains(shown), qPrintable(end.output));
}

QTEST_MAIN(TestForms)
#include "tst_forms.moc"
