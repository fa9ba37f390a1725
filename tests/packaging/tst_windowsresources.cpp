#include "identity.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <algorithm>
#include <optional>
#include <vector>

#if !defined(QUELVARO_SOURCE_DIR) || !defined(QUELVARO_RC_FILE) || !defined(QUELVARO_WINDRES)
#error "QUELVARO_SOURCE_DIR, QUELVARO_RC_FILE and QUELVARO_WINDRES must name the files used"
#endif

namespace {

constexpr int RtIcon = 3;
constexpr int RtGroupIcon = 14;
constexpr int RtVersion = 16;
constexpr int RtManifest = 24;
constexpr quint16 SpanishSpain = 0x0C0A;
constexpr quint16 Utf16CodePage = 1200;

quint32 le(const QByteArray &data, qsizetype at, int bytes)
{
    if (at < 0 || at + bytes > data.size())
        return 0;
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | quint8(data.at(at + i));
    return value;
}

qsizetype alignedTo4(qsizetype at)
{
    return (at + 3) & ~qsizetype(3);
}

// A type or name of a compiled resource: a number or a UTF-16 string.
struct ResourceId {
    int number = -1;
    QString text;
};

struct Resource {
    ResourceId type;
    ResourceId name;
    quint16 language = 0;
    QByteArray data;
};

ResourceId readId(const QByteArray &data, qsizetype *at)
{
    ResourceId id;
    if (le(data, *at, 2) == 0xFFFF) {
        id.number = int(le(data, *at + 2, 2));
        *at += 4;
        return id;
    }
    while (*at + 2 <= data.size()) {
        const auto unit = char16_t(le(data, *at, 2));
        *at += 2;
        if (!unit)
            break;
        id.text += QChar(unit);
    }
    return id;
}

// The .res layout: a header per resource (sizes, type, name, flags, language), then its data,
// each padded to four bytes. The first entry is an empty marker.
std::optional<std::vector<Resource>> readRes(const QByteArray &data)
{
    std::vector<Resource> resources;
    qsizetype at = 0;
    while (at + 8 <= data.size()) {
        const quint32 dataSize = le(data, at, 4);
        const quint32 headerSize = le(data, at + 4, 4);
        if (headerSize < 16 || at + qint64(headerSize) + dataSize > data.size())
            return std::nullopt;
        qsizetype field = at + 8;
        Resource r;
        r.type = readId(data, &field);
        r.name = readId(data, &field);
        field = alignedTo4(field);
        r.language = quint16(le(data, field + 6, 2));
        r.data = data.mid(at + headerSize, dataSize);
        if (dataSize || r.type.number != 0)
            resources.push_back(r);
        at = alignedTo4(at + headerSize + dataSize);
    }
    return resources;
}

// One node of a version record: length, value length, type, key, value, children.
struct VersionNode {
    QString key;
    int type = 0;
    QByteArray value;
    std::vector<VersionNode> children;

    const VersionNode *child(const QString &name) const
    {
        for (const VersionNode &c : children)
            if (c.key == name)
                return &c;
        return nullptr;
    }
    QString text() const
    {
        QString s;
        for (qsizetype i = 0; i + 1 < value.size(); i += 2) {
            const auto unit = char16_t(le(value, i, 2));
            if (!unit)
                break;
            s += QChar(unit);
        }
        return s;
    }
};

std::optional<VersionNode> readVersionNode(const QByteArray &data, qsizetype start)
{
    const qsizetype length = le(data, start, 2);
    const qsizetype valueLength = le(data, start + 2, 2);
    if (length < 6 || start + length > data.size())
        return std::nullopt;
    VersionNode node;
    node.type = int(le(data, start + 4, 2));
    qsizetype at = start + 6;
    const ResourceId key = readId(data, &at);
    node.key = key.text;
    at = alignedTo4(at);
    // Text values count UTF-16 units, binary values bytes.
    const qsizetype valueBytes = node.type == 1 ? 2 * valueLength : valueLength;
    node.value = data.mid(at, valueBytes);
    at = alignedTo4(at + valueBytes);
    while (at < start + length) {
        std::optional<VersionNode> child = readVersionNode(data, at);
        if (!child)
            return std::nullopt;
        const qsizetype childLength = le(data, at, 2);
        node.children.push_back(*child);
        at = alignedTo4(at + childLength);
    }
    return node;
}

} // namespace

class TestWindowsResources : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void scriptIsConfiguredFromTheProject();
    void fixedVersionIsTheProjects();
    void spanishStringBlockNamesTheProduct_data();
    void spanishStringBlockNamesTheProduct();
    void translationMatchesTheStringBlock();
    void iconGroupHoldsTheThreeImagesOfTheIcoFile();
    void manifestRunsAsInvokerOnWindows10And11AwareOfEachMonitor();

private:
    const Resource *find(int type) const;
    VersionNode version() const;

    QTemporaryDir m_dir;
    QByteArray m_script;
    std::vector<Resource> m_resources;
};

void TestWindowsResources::initTestCase()
{
    QFile script(QStringLiteral(QUELVARO_RC_FILE));
    QVERIFY2(script.open(QIODevice::ReadOnly), "the resource script was not configured into the build tree");
    m_script = script.readAll();

    QVERIFY(m_dir.isValid());
    const QString res = m_dir.filePath(QStringLiteral("quelvaro.res"));
    QProcess windres;
    // The cross compiler windres would look for is not needed: the script uses the preprocessor only
    // for comments and pragmas.
    windres.start(QStringLiteral(QUELVARO_WINDRES),
        { QStringLiteral("--preprocessor=cpp"), QStringLiteral("--preprocessor-arg=-DRC_INVOKED"),
            QStringLiteral("-i"), QStringLiteral(QUELVARO_RC_FILE), QStringLiteral("-O"),
            QStringLiteral("res"), QStringLiteral("-o"), res });
    QVERIFY2(windres.waitForStarted(), "the MinGW resource compiler (binutils-mingw-w64-x86-64) is missing");
    QVERIFY(windres.waitForFinished(60000));
    QVERIFY2(windres.exitStatus() == QProcess::NormalExit && windres.exitCode() == 0,
        windres.readAllStandardError().constData());

    QFile compiled(res);
    QVERIFY(compiled.open(QIODevice::ReadOnly));
    std::optional<std::vector<Resource>> resources = readRes(compiled.readAll());
    QVERIFY2(resources, "the compiled resources are malformed");
    m_resources = *resources;
}

const Resource *TestWindowsResources::find(int type) const
{
    for (const Resource &r : m_resources)
        if (r.type.number == type)
            return &r;
    return nullptr;
}

VersionNode TestWindowsResources::version() const
{
    const Resource *resource = find(RtVersion);
    if (!resource)
        return {};
    return readVersionNode(resource->data, 0).value_or(VersionNode {});
}

void TestWindowsResources::scriptIsConfiguredFromTheProject()
{
    QVERIFY2(!m_script.contains('@'), "a variable was left unconfigured");
    QVERIFY(m_script.contains(QUELVARO_SOURCE_DIR "/assets/quelvaro.ico"));
    QCOMPARE(std::count_if(m_resources.begin(), m_resources.end(),
                 [](const Resource &r) { return r.type.number == RtVersion; }),
        std::ptrdiff_t(1));
    QCOMPARE(find(RtVersion)->language, SpanishSpain);
}

void TestWindowsResources::fixedVersionIsTheProjects()
{
    const VersionNode root = version();
    QCOMPARE(root.key, QStringLiteral("VS_VERSION_INFO"));
    const QByteArray &fixed = root.value;
    QCOMPARE(fixed.size(), 52);
    QCOMPARE(le(fixed, 0, 4), 0xFEEF04BDu);
    const QStringList parts = QStringLiteral(QUELVARO_VERSION).split(u'.');
    QCOMPARE(parts.size(), 4);
    // Most and least significant halves, for the file and for the product.
    const quint32 high = parts[0].toUInt() << 16 | parts[1].toUInt();
    const quint32 low = parts[2].toUInt() << 16 | parts[3].toUInt();
    QCOMPARE(le(fixed, 8, 4), high);
    QCOMPARE(le(fixed, 12, 4), low);
    QCOMPARE(le(fixed, 16, 4), high);
    QCOMPARE(le(fixed, 20, 4), low);
    QCOMPARE(le(fixed, 28, 4), 0u); // not a debug, patched or pre-release build
    QCOMPARE(le(fixed, 32, 4), 0x40004u); // 32-bit Windows NT
    QCOMPARE(le(fixed, 36, 4), 1u); // an application
}

void TestWindowsResources::spanishStringBlockNamesTheProduct_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");
    QTest::newRow("FileVersion") << "FileVersion" << QUELVARO_VERSION_TEXT;
    QTest::newRow("ProductVersion") << "ProductVersion" << QUELVARO_VERSION_TEXT;
    QTest::newRow("ProductName") << "ProductName" << QUELVARO_NAME;
    QTest::newRow("CompanyName") << "CompanyName" << QUELVARO_MAKER;
    QTest::newRow("FileDescription") << "FileDescription"
                                     << "Visor de fuentes " QUELVARO_NAME;
    QTest::newRow("OriginalFilename") << "OriginalFilename"
                                      << "quelvaro.exe";

    // The copyright is the LICENSE's own line, and the company the holder it names.
    QFile license(QStringLiteral(QUELVARO_SOURCE_DIR "/LICENSE"));
    QVERIFY(license.open(QIODevice::ReadOnly | QIODevice::Text));
    QString copyright;
    while (copyright.isEmpty() && !license.atEnd()) {
        const QString line = QString::fromUtf8(license.readLine()).trimmed();
        if (line.startsWith(QLatin1StringView("Copyright ")))
            copyright = line;
    }
    QVERIFY2(copyright.endsWith(QLatin1StringView(" " QUELVARO_MAKER)), qPrintable(copyright));
    QTest::newRow("LegalCopyright") << "LegalCopyright" << copyright;
}

void TestWindowsResources::spanishStringBlockNamesTheProduct()
{
    QFETCH(QString, field);
    QFETCH(QString, expected);
    const VersionNode root = version();
    const VersionNode *strings = root.child(QStringLiteral("StringFileInfo"));
    QVERIFY(strings);
    QCOMPARE(strings->children.size(), std::size_t(1));
    const VersionNode *block = strings->child(QStringLiteral("0C0A04B0"));
    QVERIFY2(block, "no Spanish (Spain) Unicode string block");
    const VersionNode *value = block->child(field);
    QVERIFY(value);
    QCOMPARE(value->type, 1);
    QCOMPARE(value->text(), expected);
}

void TestWindowsResources::translationMatchesTheStringBlock()
{
    const VersionNode root = version();
    const VersionNode *vars = root.child(QStringLiteral("VarFileInfo"));
    QVERIFY(vars);
    const VersionNode *translation = vars->child(QStringLiteral("Translation"));
    QVERIFY(translation);
    QCOMPARE(translation->value.size(), 4);
    QCOMPARE(le(translation->value, 0, 2), quint32(SpanishSpain));
    QCOMPARE(le(translation->value, 2, 2), quint32(Utf16CodePage));
}

void TestWindowsResources::iconGroupHoldsTheThreeImagesOfTheIcoFile()
{
    QFile file(QStringLiteral(QUELVARO_SOURCE_DIR "/assets/quelvaro.ico"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();

    const Resource *group = find(RtGroupIcon);
    QVERIFY2(group, "no icon group: Windows would show a generic program icon");
    // The group directory is the file's directory with 2-byte resource ids in place of file offsets.
    const QByteArray &dir = group->data;
    QCOMPARE(le(dir, 0, 2), 0u);
    QCOMPARE(le(dir, 2, 2), 1u);
    const int count = int(le(dir, 4, 2));
    QCOMPARE(count, 3);
    QCOMPARE(dir.size(), 6 + 14 * count);
    QCOMPARE(int(le(ico, 4, 2)), count);

    const int colours[] = { 2, 16, 16 };
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 14 * i;
        QCOMPARE(quint8(dir.at(entry)), quint8(32));
        QCOMPARE(quint8(dir.at(entry + 1)), quint8(32));
        QCOMPARE(int(quint8(dir.at(entry + 2))), colours[i]);
        const quint32 bytes = le(dir, entry + 8, 4);
        const int id = int(le(dir, entry + 12, 2));

        const qsizetype fileEntry = 6 + 16 * i;
        const QByteArray image = ico.mid(le(ico, fileEntry + 12, 4), le(ico, fileEntry + 8, 4));
        QCOMPARE(bytes, quint32(image.size()));

        const Resource *icon = nullptr;
        for (const Resource &r : m_resources)
            if (r.type.number == RtIcon && r.name.number == id)
                icon = &r;
        QVERIFY2(icon, qPrintable(QStringLiteral("icon image %1 is missing").arg(id)));
        QVERIFY2(
            icon->data == image, qPrintable(QStringLiteral("icon image %1 differs from the file").arg(id)));
    }
}

// What Windows reads of the manifest when it starts the program, each element in the namespace it
// looks for: a name in another namespace is ignored without a word.
void TestWindowsResources::manifestRunsAsInvokerOnWindows10And11AwareOfEachMonitor()
{
    std::vector<const Resource *> manifests;
    for (const Resource &r : m_resources)
        if (r.type.number == RtManifest)
            manifests.push_back(&r);
    QCOMPARE(manifests.size(), std::size_t(1));
    // Id 1 is the manifest Windows applies to a program as it starts it.
    QCOMPARE(manifests.front()->name.number, 1);

    const QString v1 = QStringLiteral("urn:schemas-microsoft-com:asm.v1");
    const QString v3 = QStringLiteral("urn:schemas-microsoft-com:asm.v3");
    const QString compatibility = QStringLiteral("urn:schemas-microsoft-com:compatibility.v1");
    const QString settings2005 = QStringLiteral("http://schemas.microsoft.com/SMI/2005/WindowsSettings");
    const QString settings2016 = QStringLiteral("http://schemas.microsoft.com/SMI/2016/WindowsSettings");
    QXmlStreamReader xml(manifests.front()->data);
    QString root;
    QStringList levels;
    QStringList systems;
    QString dpiAware;
    QString dpiAwareness;
    const auto attribute
        = [&xml](const char *name) { return xml.attributes().value(QLatin1StringView(name)).toString(); };
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString ns = xml.namespaceUri().toString();
        const QString name = xml.name().toString();
        if (root.isEmpty()) {
            root = ns + u' ' + name + u' ' + attribute("manifestVersion");
        } else if (name == u"requestedExecutionLevel" && ns == v3) {
            levels << attribute("level") + u' ' + attribute("uiAccess");
        } else if (name == u"supportedOS" && ns == compatibility) {
            systems << attribute("Id");
        } else if (name == u"dpiAware" && ns == settings2005) {
            dpiAware = xml.readElementText().trimmed();
        } else if (name == u"dpiAwareness" && ns == settings2016) {
            dpiAwareness = xml.readElementText().trimmed();
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(root, v1 + QStringLiteral(" assembly 1.0"));
    QCOMPARE(levels, QStringList { QStringLiteral("asInvoker false") });
    // Windows 10 and 11 share the id.
    QCOMPARE(systems, QStringList { QStringLiteral("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}") });
    // Qt's Windows plugin makes the process per-monitor (v2) aware unless told otherwise; set
    // otherwise here, the two would disagree.
    QCOMPARE(dpiAwareness, QStringLiteral("PerMonitorV2"));
    QCOMPARE(dpiAware, QStringLiteral("true/pm"));
}

QTEST_GUILESS_MAIN(TestWindowsResources)
#include "tst_windowsresources.moc"
