#include "runtime/controls.h"

#include <QApplication>
#include <QRegularExpression>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

// Input: one byte whose lowest bit picks the locale (0: C, 1: Spanish), then the text as UTF-8.
// A size is taken only when it is finite and from 1 to 1638 points; anything else changes nothing
// and makes no noise. Where C's own reading of a plain decimal text applies, both must agree.

namespace {

void failOnMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    std::fprintf(stderr, "Qt message: %s\n", qPrintable(message));
    std::abort();
}

void check(bool condition, const char *what, const QString &text)
{
    if (condition)
        return;
    std::fprintf(stderr, "%s: \"%s\"\n", what, qPrintable(text));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_size";
    static char *argv[] = { name, nullptr };
    static QApplication app(argc, argv);
    // QApplication takes the process locale from the environment; the oracle reads as C does.
    std::setlocale(LC_NUMERIC, "C");
    qInstallMessageHandler(failOnMessage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool spanish = data[0] & 1;
    QLocale::setDefault(spanish ? QLocale(QLocale::Spanish, QLocale::Spain) : QLocale::c());
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    double points = -1;
    const bool taken = TextBox::parseSize(text, &points);
    if (taken)
        check(std::isfinite(points) && points >= 1 && points <= 1638, "size out of range taken", text);
    else
        check(points == -1, "refused size written", text);

    static const QRegularExpression plainDecimal(
        QStringLiteral("^ *[+-]?[0-9]{1,30}(\\.[0-9]{0,30})?([eE][+-]?[0-9]{1,4})? *$"));
    if (!spanish && plainDecimal.match(text).hasMatch()) {
        const double c = std::strtod(text.toLatin1().constData(), nullptr);
        const bool usable = std::isfinite(c) && c >= 1 && c <= 1638;
        check(taken == usable, "C reads it otherwise", text);
        check(!taken || points == c, "C reads another value", text);
    }

    static TextBox box;
    box.setFontSize(QStringLiteral("10"));
    check(box.setFontSize(text) == taken, "the box disagrees with the conversion", text);
    check(box.fontSize() == (taken ? points : 10.0), "the box shows another size", text);
    return 0;
}
