#include "about/frmacerca.h"
#include "formsupport.h"
#include "preview/frmprincipal.h"
#include "startup/frmpresenta.h"

#include <QtTest>

// Runs at a scale factor of 2: every window keeps its layout in logical pixels, is drawn at twice
// the size in device pixels, and shows the pictures drawn for that density.
class TestHighDpi : public FormTest {
    Q_OBJECT
public:
    // Before the application starts; set here rather than in the test's environment, which Wine
    // does not pass on to Windows programs for Qt's variables.
    static void initMain() { qputenv("QT_SCALE_FACTOR", "2"); }

private slots:
    void initTestCase();
    void init();

    void splashShowsTheDoubleResolutionPicture();
    void aboutShowsTheDoubleResolutionPicture();
    void previewKeepsItsLayoutInLogicalPixels();
};

namespace {

// The window as drawn into its backing store, in device pixels.
QImage drawn(Form &window)
{
    window.Show();
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage picture(const QString &resource, const QRect &visible)
{
    return QImage(resource).convertToFormat(QImage::Format_RGB32).copy(visible);
}

} // namespace

void TestHighDpi::initTestCase()
{
    QCOMPARE(qgetenv("QT_SCALE_FACTOR"), QByteArray("2"));
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
}

void TestHighDpi::init()
{
    registerForms({ "Sans", "Mono" });
}

void TestHighDpi::splashShowsTheDoubleResolutionPicture()
{
    FrmPresenta &splash = Forms::get<FrmPresenta>();
    splash.stopTimers();
    QCOMPARE(splash.size(), QSize(355, 198));
    QCOMPARE(splash.Image1->geometry(), QRect(0, 0, 354, 198));
    QCOMPARE(splash.Image1->pixmap().devicePixelRatio(), 2.0);
    QCOMPARE(splash.Image1->pixmap().size(), QSize(708, 396));

    const QImage shown = drawn(splash);
    QCOMPARE(shown.size(), QSize(710, 396));
    QVERIFY(shown.copy(0, 0, 708, 396) == picture(":/splash@2x.png", QRect(0, 0, 708, 396)));
    // The one-pixel strip beside the picture is two device pixels wide.
    const QColor strip = QGuiApplication::palette().color(QPalette::WindowText);
    QCOMPARE(shown.pixelColor(708, 200), strip);
    QCOMPARE(shown.pixelColor(709, 200), strip);
}

void TestHighDpi::aboutShowsTheDoubleResolutionPicture()
{
    startPreview();
    Forms::get<FrmPrincipal>().cmdcerca_Click();
    frmacerca &about = Forms::get<frmacerca>();
    QCOMPARE(about.size(), QSize(361, 245));
    QCOMPARE(about.Image1->geometry(), QRect(0, -8, 363, 255));
    QCOMPARE(about.Image1->pixmap().devicePixelRatio(), 2.0);

    const QImage shown = drawn(about);
    QCOMPARE(shown.size(), QSize(722, 490));
    // The picture starts 8 logical, 16 device pixels above the window.
    QVERIFY(shown == picture(":/about@2x.png", QRect(0, 16, 722, 490)));
}

void TestHighDpi::previewKeepsItsLayoutInLogicalPixels()
{
    startPreview();
    FrmPrincipal &form = Forms::get<FrmPrincipal>();
    QCOMPARE(form.size(), QSize(361, 430));
    QCOMPARE(form.CmbNDL->geometry(), QRect(8, 40, 345, 21));
    QCOMPARE(form.txtvisu->geometry(), QRect(8, 96, 345, 105));
    QCOMPARE(form.cmdcerca->geometry(), QRect(8, 360, 169, 25));
    QCOMPARE(form.lblcant->geometry(), QRect(-8, 403, 369, 27));
    QCOMPARE(form.Line2->geometry(), QRect(0, 343, 360, 2));

    const QImage shown = drawn(form);
    QCOMPARE(shown.size(), QSize(722, 860));
    const QColor grey(192, 192, 192);
    // The 2-pixel rule at logical row 343 covers device rows 686 to 689, and ends at column 720.
    QCOMPARE(shown.pixelColor(360, 685), grey);
    for (int y = 686; y <= 689; ++y)
        QCOMPARE(shown.pixelColor(360, y), QColor(Qt::black));
    QCOMPARE(shown.pixelColor(360, 690), grey);
    QCOMPARE(shown.pixelColor(719, 687), QColor(Qt::black));
    QCOMPARE(shown.pixelColor(720, 687), grey);
}

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
