#include "vgapalette.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <vector>

#ifndef QUELVARO_SOURCE_DIR
#error "QUELVARO_SOURCE_DIR must be defined as a string literal naming the source tree"
#endif

namespace {

quint32 readLe(const QByteArray &data, qsizetype at, int bytes)
{
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | quint8(data.at(at + i));
    return value;
}

int lightness(QRgb c)
{
    return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000;
}

// Average per-channel difference; the pictures compared are the same size.
double meanDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double total = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row);
            const QRgb q = y.pixel(col, row);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return total / (3.0 * x.width() * x.height());
}

// What every rendition of the icon must show, whatever its size or colour
// depth: a white, outlined page with a dark letter, folded at the top
// right, on a transparent background.
void verifyIconLooksRight(const QImage &source)
{
    const QImage icon = source.convertToFormat(QImage::Format_ARGB32);
    const int n = icon.width();
    auto at = [&](double fx, double fy) { return icon.pixel(int(fx * n), int(fy * n)); };

    for (const QPoint corner : { QPoint(0, 0), QPoint(n - 1, 0), QPoint(0, n - 1), QPoint(n - 1, n - 1) })
        QVERIFY2(qAlpha(icon.pixel(corner)) == 0,
            qPrintable(QStringLiteral("corner (%1,%2) is not transparent").arg(corner.x()).arg(corner.y())));

    // Same column: cut away near the top by the fold, solid page near the
    // bottom. Catches an upside-down or mirrored picture.
    QCOMPARE(qAlpha(at(0.78, 0.1)), 0);
    QCOMPARE(qAlpha(at(0.78, 0.9)), 255);
    QCOMPARE(qAlpha(at(0.22, 0.1)), 255);

    int opaque = 0, white = 0;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const QRgb c = icon.pixel(x, y);
            if (qAlpha(c) < 255)
                continue;
            ++opaque;
            if (lightness(c) >= 224)
                ++white;
        }
    }
    QVERIFY2(opaque >= n * n / 2, "the page covers too little of the icon");
    QVERIFY2(white * 2 > opaque, "the page is not mostly white");

    int dark = 0, letterArea = 0;
    for (int y = int(0.45 * n); y < int(0.85 * n); ++y) {
        for (int x = int(0.35 * n); x < int(0.65 * n); ++x, ++letterArea) {
            const QRgb c = icon.pixel(x, y);
            if (qAlpha(c) == 255 && lightness(c) < 64)
                ++dark;
        }
    }
    QVERIFY2(dark * 8 >= letterArea, "no dark letter in the middle of the page");

    // Without an outline a white page vanishes on a white desktop.
    const int mid = n / 2;
    int x = 0;
    while (x < n && qAlpha(icon.pixel(x, mid)) < 128)
        ++x;
    QVERIFY2(x < n / 2, "page edge not found in the middle row");
    QVERIFY2(lightness(icon.pixel(x, mid)) < 96, "the page has no dark outline on its left edge");
}

struct IcoEntry {
    int width = 0;
    int height = 0;
    int colourCount = 0;
    int planes = 0;
    int bitCount = 0;
    quint32 size = 0;
    quint32 offset = 0;
};

} // namespace

class TestAssets : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void picturesLoadWithExactSize_data();
    void picturesLoadWithExactSize();
    void doubleResolutionMatchesBase_data();
    void doubleResolutionMatchesBase();
    void aboutKeepsNameOutOfHiddenRows();
    void iconPngs_data();
    void iconPngs();

    void icoDirectoryAndHeaders();
    void icoPalettes();
    void icoImagesShowTheIcon_data();
    void icoImagesShowTheIcon();
    void icoReadableByQt();

private:
    QByteArray m_ico;
    std::vector<IcoEntry> m_entries;

    bool imageFits(int index) const;
    QVector<QRgb> palette(int index) const;
    QImage decode(int index) const;
};

// A broken ICO file must not stop the picture tests, so problems found
// here are reported by the ICO tests, not by failing the whole run.
void TestAssets::initTestCase()
{
    QFile file(QStringLiteral(QUELVARO_SOURCE_DIR "/assets/quelvaro.ico"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    m_ico = file.readAll();
    if (m_ico.size() < 6)
        return;
    const int count = int(readLe(m_ico, 4, 2));
    for (int i = 0; i < count && m_ico.size() >= 6 + 16 * (i + 1); ++i) {
        const qsizetype at = 6 + 16 * i;
        IcoEntry e;
        // A zero byte means 256 in the directory.
        e.width = quint8(m_ico.at(at)) ? quint8(m_ico.at(at)) : 256;
        e.height = quint8(m_ico.at(at + 1)) ? quint8(m_ico.at(at + 1)) : 256;
        e.colourCount = quint8(m_ico.at(at + 2));
        e.planes = int(readLe(m_ico, at + 4, 2));
        e.bitCount = int(readLe(m_ico, at + 6, 2));
        e.size = readLe(m_ico, at + 8, 4);
        e.offset = readLe(m_ico, at + 12, 4);
        m_entries.push_back(e);
    }
}

void TestAssets::picturesLoadWithExactSize_data()
{
    QTest::addColumn<QString>("resource");
    QTest::addColumn<QSize>("size");

    QTest::newRow("splash") << QStringLiteral(":/splash.png") << QSize(354, 198);
    QTest::newRow("splash@2x") << QStringLiteral(":/splash@2x.png") << QSize(708, 396);
    QTest::newRow("about") << QStringLiteral(":/about.png") << QSize(363, 255);
    QTest::newRow("about@2x") << QStringLiteral(":/about@2x.png") << QSize(726, 510);
}

void TestAssets::picturesLoadWithExactSize()
{
    QFETCH(QString, resource);
    QFETCH(QSize, size);

    const QImage image(resource);
    QVERIFY2(!image.isNull(), qPrintable(resource + QStringLiteral(" is missing from the resources")));
    QCOMPARE(image.size(), size);
    // Both are shown as opaque rectangles; an alpha channel would let the
    // desktop show through wherever the drawing left gaps.
    QVERIFY(!image.hasAlphaChannel());
}

void TestAssets::doubleResolutionMatchesBase_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("splash") << QStringLiteral("splash");
    QTest::newRow("about") << QStringLiteral("about");
}

void TestAssets::doubleResolutionMatchesBase()
{
    QFETCH(QString, name);

    const QImage base(QStringLiteral(":/%1.png").arg(name));
    const QImage twice(QStringLiteral(":/%1@2x.png").arg(name));
    QVERIFY(!base.isNull() && !twice.isNull());
    QCOMPARE(twice.size(), base.size() * 2);

    // Reduced to 1x the sharp version must be the same picture; a layout
    // drawn at 1x coordinates on the big canvas fills only a quarter of it.
    const QImage reduced = twice.scaled(base.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double difference = meanDifference(base, reduced);
    QVERIFY2(difference < 8.0, qPrintable(QStringLiteral("mean difference %1").arg(difference)));

    // An enlarged copy of the 1x picture would match one of the usual
    // enlargements almost exactly; a native drawing carries finer detail.
    for (const auto mode : { Qt::FastTransformation, Qt::SmoothTransformation }) {
        const QImage enlarged = base.scaled(twice.size(), Qt::IgnoreAspectRatio, mode);
        const double detail = meanDifference(twice, enlarged);
        QVERIFY2(detail > 1.5,
            qPrintable(QStringLiteral("the 2x picture looks like an enlarged 1x picture "
                                      "(mean difference %1)")
                           .arg(detail)));
    }
}

void TestAssets::aboutKeepsNameOutOfHiddenRows()
{
    // The window hides the top 8 rows of the picture; the maker's name in
    // fiery orange must start below them, with a little room to spare.
    const QImage about(QStringLiteral(":/about.png"));
    QVERIFY(!about.isNull());
    auto fiery = [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 60 && qGreen(c) < 210 && qBlue(c) < 80; };

    int hidden = 0, shown = 0;
    for (int y = 0; y < about.height(); ++y)
        for (int x = 0; x < about.width(); ++x)
            if (fiery(about.pixel(x, y)))
                ++(y < 10 ? hidden : shown);
    QVERIFY2(shown > 2000, "the name is not drawn in fiery colours");
    QCOMPARE(hidden, 0);
}

void TestAssets::iconPngs_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("32") << 32;
    QTest::newRow("64") << 64;
    QTest::newRow("128") << 128;
}

void TestAssets::iconPngs()
{
    QFETCH(int, size);

    const QString resource = QStringLiteral(":/icon-%1.png").arg(size);
    const QImage icon(resource);
    QVERIFY2(!icon.isNull(), qPrintable(resource + QStringLiteral(" is missing from the resources")));
    QCOMPARE(icon.size(), QSize(size, size));
    QVERIFY(icon.hasAlphaChannel());
    verifyIconLooksRight(icon);
}

void TestAssets::icoDirectoryAndHeaders()
{
    QVERIFY2(m_ico.size() >= 6, "assets/quelvaro.ico is missing or empty");
    QCOMPARE(readLe(m_ico, 0, 2), 0u);
    QCOMPARE(readLe(m_ico, 2, 2), 1u);
    QCOMPARE(int(m_entries.size()), 3);

    const int expectedBits[] = { 1, 4, 4 };
    const quint32 directoryEnd = 6 + 16 * quint32(m_entries.size());
    quint32 covered = directoryEnd;
    quint32 previousEnd = directoryEnd;
    for (int i = 0; i < 3; ++i) {
        const IcoEntry &e = m_entries[i];
        const int bits = expectedBits[i];
        QCOMPARE(e.width, 32);
        QCOMPARE(e.height, 32);
        QCOMPARE(e.colourCount, 1 << bits);
        QVERIFY(e.planes == 0 || e.planes == 1);
        QVERIFY(e.bitCount == 0 || e.bitCount == bits);

        QVERIFY2(e.offset >= previousEnd, "image data overlaps the directory or the previous image");
        QVERIFY2(qint64(e.offset) + e.size <= m_ico.size(), "image data runs past the end of the file");
        QVERIFY2(e.size >= 40, "image data too small for its header");
        previousEnd = e.offset + e.size;
        covered += e.size;

        const qsizetype h = e.offset;
        QCOMPARE(readLe(m_ico, h, 4), 40u);
        QCOMPARE(qint32(readLe(m_ico, h + 4, 4)), 32);
        QCOMPARE(qint32(readLe(m_ico, h + 8, 4)), 64); // XOR bitmap plus AND mask
        QCOMPARE(readLe(m_ico, h + 12, 2), 1u);
        QCOMPARE(int(readLe(m_ico, h + 14, 2)), bits);
        QCOMPARE(readLe(m_ico, h + 16, 4), 0u);

        const quint32 used = readLe(m_ico, h + 32, 4);
        const quint32 paletteSize = used ? used : (1u << bits);
        QCOMPARE(paletteSize, 1u << bits);
        const quint32 xorBytes = ((32 * bits + 31) / 32) * 4 * 32;
        const quint32 andBytes = 4 * 32;
        const quint32 imageBytes = readLe(m_ico, h + 20, 4);
        QVERIFY(imageBytes == 0 || imageBytes == xorBytes + andBytes);
        QCOMPARE(e.size, 40 + 4 * paletteSize + xorBytes + andBytes);
    }
    QCOMPARE(covered, quint32(m_ico.size()));
}

// Whether image data of the layout its header claims lies inside the file,
// so decoding cannot read past the end.
bool TestAssets::imageFits(int index) const
{
    if (index >= int(m_entries.size()))
        return false;
    const IcoEntry &e = m_entries[index];
    if (qint64(e.offset) + 40 > m_ico.size())
        return false;
    const int bits = int(readLe(m_ico, e.offset + 14, 2));
    if (bits != 1 && bits != 4 && bits != 8)
        return false;
    const qint64 xorStride = ((32 * bits + 31) / 32) * 4;
    return qint64(e.offset) + 40 + 4 * (1 << bits) + 32 * (xorStride + 4) <= m_ico.size();
}

QVector<QRgb> TestAssets::palette(int index) const
{
    const IcoEntry &e = m_entries[index];
    const int bits = int(readLe(m_ico, e.offset + 14, 2));
    QVector<QRgb> colours;
    for (int i = 0; i < (1 << bits); ++i) {
        const qsizetype at = e.offset + 40 + 4 * i;
        colours << qRgb(quint8(m_ico.at(at + 2)), quint8(m_ico.at(at + 1)), quint8(m_ico.at(at)));
    }
    return colours;
}

void TestAssets::icoPalettes()
{
    for (int i = 0; i < 3; ++i)
        QVERIFY2(imageFits(i), qPrintable(QStringLiteral("ICO image %1 is cut off or malformed").arg(i)));

    const QVector<QRgb> mono = palette(0);
    QCOMPARE(mono.size(), 2);
    QVERIFY(mono.contains(qRgb(0, 0, 0)));
    QVERIFY(mono.contains(qRgb(255, 255, 255)));

    const QVector<QRgb> first = palette(1);
    const QVector<QRgb> second = palette(2);
    QCOMPARE(first.size(), 16);
    QCOMPARE(second.size(), 16);

    auto isGreyRamp = [](const QVector<QRgb> &colours) {
        QSet<int> levels;
        for (QRgb c : colours) {
            if (qRed(c) != qGreen(c) || qGreen(c) != qBlue(c))
                return false;
            levels.insert(qRed(c));
        }
        return levels.size() == colours.size() && levels.contains(0) && levels.contains(255);
    };
    const QSet<QRgb> vga(VgaPalette.begin(), VgaPalette.end());
    auto isVga
        = [&](const QVector<QRgb> &colours) { return QSet<QRgb>(colours.begin(), colours.end()) == vga; };

    QVERIFY2((isVga(first) && isGreyRamp(second)) || (isGreyRamp(first) && isVga(second)),
        "the 16-colour images should use the Windows VGA colours and a grey ramp");
}

// Decodes one uncompressed palette image by hand, so the check does not
// depend on an image plugin being installed.
QImage TestAssets::decode(int index) const
{
    const IcoEntry &e = m_entries[index];
    const int bits = int(readLe(m_ico, e.offset + 14, 2));
    const QVector<QRgb> colours = palette(index);
    const qsizetype xorStart = e.offset + 40 + 4 * colours.size();
    const int xorStride = ((32 * bits + 31) / 32) * 4;
    const qsizetype andStart = xorStart + qsizetype(xorStride) * 32;
    const int andStride = 4;

    QImage image(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y) {
        const int stored = 31 - y; // rows run bottom-up
        for (int x = 0; x < 32; ++x) {
            const quint8 packed = quint8(m_ico.at(xorStart + stored * xorStride + x * bits / 8));
            const int shift = 8 - bits - (x * bits) % 8;
            const int colour = (packed >> shift) & ((1 << bits) - 1);
            const bool masked = quint8(m_ico.at(andStart + stored * andStride + x / 8)) & (0x80 >> (x % 8));
            image.setPixel(x, y, masked ? qRgba(0, 0, 0, 0) : colours.at(colour));
        }
    }
    return image;
}

void TestAssets::icoImagesShowTheIcon_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("monochrome") << 0;
    QTest::newRow("16 colours, first") << 1;
    QTest::newRow("16 colours, second") << 2;
}

void TestAssets::icoImagesShowTheIcon()
{
    QFETCH(int, index);
    QVERIFY2(imageFits(index), "image is cut off or malformed");

    const QImage image = decode(index);
    verifyIconLooksRight(image);
    if (QTest::currentTestFailed())
        return;

    // Reduced colours aside, it must be the same picture as the 32 px PNG;
    // pixels shuffled within a byte or a row would show up here.
    const QImage png = QImage(QStringLiteral(":/icon-32.png")).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(png.size(), QSize(32, 32));
    int maskMismatches = 0, compared = 0;
    double lightnessError = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const bool pngOpaque = qAlpha(png.pixel(x, y)) >= 128;
            const bool icoOpaque = qAlpha(image.pixel(x, y)) == 255;
            if (pngOpaque != icoOpaque) {
                ++maskMismatches;
            } else if (pngOpaque) {
                ++compared;
                lightnessError += std::abs(lightness(png.pixel(x, y)) - lightness(image.pixel(x, y)));
            }
        }
    }
    QVERIFY2(maskMismatches <= 16,
        qPrintable(QStringLiteral("%1 pixels differ in transparency").arg(maskMismatches)));
    lightnessError /= std::max(1, compared);
    QVERIFY2(lightnessError < 16, qPrintable(QStringLiteral("mean lightness error %1").arg(lightnessError)));
}

void TestAssets::icoReadableByQt()
{
    if (!QImageReader::supportedImageFormats().contains("ico"))
        QSKIP("Qt's ICO plugin is not installed");
    QImageReader reader(QStringLiteral(QUELVARO_SOURCE_DIR "/assets/quelvaro.ico"), "ico");
    QCOMPARE(reader.imageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.size(), QSize(32, 32));
    }
}

QTEST_MAIN(TestAssets)
#include "tst_assets.moc"
