#include "runtime/platform.h"
#include "runtime/printerfonts_windows.h"

#include <QtTest>

#include <atomic>
#include <string>
#include <vector>

// A printer of the test's own, reached by the same calls as the system's.
namespace FakePrinter {

std::wstring name;
bool opens = true;
// While set, opening the device waits until the event is signalled, as a printer out of reach
// keeps CreateDC waiting.
HANDLE answer = nullptr;
// What EnumFontFamiliesExW reports, one entry per family and character set.
std::vector<std::wstring> reported;
std::atomic<int> opened = 0;
std::atomic<int> closed = 0;
std::atomic<int> listed = 0;
HDC const Device = reinterpret_cast<HDC>(0x5eed);

BOOL WINAPI getDefaultPrinter(LPWSTR buffer, LPDWORD size)
{
    if (name.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    const DWORD needed = DWORD(name.size() + 1);
    if (!buffer || *size < needed) {
        *size = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    wcscpy(buffer, name.c_str());
    *size = needed;
    return TRUE;
}

HDC WINAPI createDC(LPCWSTR, LPCWSTR device, LPCWSTR, const DEVMODEW *)
{
    if (HANDLE waitFor = answer) {
        WaitForSingleObject(waitFor, INFINITE);
        ++opened;
        return Device;
    }
    if (!opens || !device || name != device)
        return nullptr;
    ++opened;
    return Device;
}

int WINAPI enumFontFamilies(HDC dc, LPLOGFONTW asked, FONTENUMPROCW proc, LPARAM data, DWORD)
{
    if (dc != Device || asked->lfCharSet != DEFAULT_CHARSET || asked->lfFaceName[0] != 0)
        return 0;
    ++listed;
    int last = 1;
    for (const std::wstring &face : reported) {
        ENUMLOGFONTEXW font {};
        wcsncpy(font.elfLogFont.lfFaceName, face.c_str(), LF_FACESIZE - 1);
        NEWTEXTMETRICEXW metrics {};
        last = proc(
            &font.elfLogFont, reinterpret_cast<const TEXTMETRICW *>(&metrics.ntmTm), TRUETYPE_FONTTYPE, data);
        if (!last)
            break;
    }
    return last;
}

BOOL WINAPI deleteDC(HDC dc)
{
    if (dc == Device)
        ++closed;
    return dc == Device;
}

GdiCalls calls()
{
    return { getDefaultPrinter, createDC, enumFontFamilies, deleteDC };
}

} // namespace FakePrinter

// Patience for a fake printer that answers at once: under Wine on a busy machine even starting the
// thread that opens the device can take longer than the program's patience.
constexpr std::chrono::minutes Answers { 1 };

class TestPrinterFonts : public QObject {
    Q_OBJECT

private slots:
    void init();
    void oneNamePerFamilyInThePrintersOrder();
    void noUsablePrinterGivesNoList_data();
    void noUsablePrinterGivesNoList();
    void aPrinterThatDoesNotAnswerIsLeftBehind();
    void withoutAPrinterTheScreensFamiliesAreListed();
};

void TestPrinterFonts::init()
{
    FakePrinter::name = L"Oficina PostScript";
    FakePrinter::opens = true;
    FakePrinter::reported.clear();
    FakePrinter::answer = nullptr;
    FakePrinter::opened = FakePrinter::closed = FakePrinter::listed = 0;
}

void TestPrinterFonts::oneNamePerFamilyInThePrintersOrder()
{
    // Courier comes once for each character set it covers; names differing only in case are two
    // families to GDI, and a vertical face is a family of its own.
    FakePrinter::reported = { L"Times New Roman", L"Courier", L"Courier", L"Arial", L"courier", L"@MS Mincho",
        L"Courier", L"A name of exactly thirty-one ch" };
    const std::optional<QStringList> families = printerFamilies(FakePrinter::calls(), Answers);
    QVERIFY(families);
    const QStringList expected = { "Times New Roman", "Courier", "Arial", "courier", "@MS Mincho",
        "A name of exactly thirty-one ch" };
    QCOMPARE(*families, expected);
    QCOMPARE(FakePrinter::opened.load(), 1);
    QCOMPARE(FakePrinter::closed.load(), 1);

    FakePrinter::reported.clear();
    QCOMPARE(printerFamilies(FakePrinter::calls(), Answers), std::optional<QStringList>(QStringList()));
}

void TestPrinterFonts::noUsablePrinterGivesNoList_data()
{
    QTest::addColumn<QString>("printer");
    QTest::addColumn<bool>("opens");
    QTest::newRow("no default printer") << QString() << true;
    QTest::newRow("its device cannot be opened") << QString("Oficina PostScript") << false;
}

void TestPrinterFonts::noUsablePrinterGivesNoList()
{
    QFETCH(QString, printer);
    QFETCH(bool, opens);
    FakePrinter::name = printer.toStdWString();
    FakePrinter::opens = opens;
    FakePrinter::reported = { L"Arial" };
    QCOMPARE(printerFamilies(FakePrinter::calls(), Answers), std::nullopt);
    QCOMPARE(FakePrinter::closed.load(), FakePrinter::opened.load());
}

// Its device is given up on, not waited for; when it answers after all, what it opened is closed.
// A second one never answers, and the test program still ends.
void TestPrinterFonts::aPrinterThatDoesNotAnswerIsLeftBehind()
{
    FakePrinter::reported = { L"Arial" };
    const HANDLE later = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    FakePrinter::answer = later;
    QCOMPARE(printerFamilies(FakePrinter::calls(), std::chrono::milliseconds::zero()), std::nullopt);
    SetEvent(later);
    QTRY_COMPARE(FakePrinter::closed.load(), 1);
    QCOMPARE(FakePrinter::opened.load(), 1);
    QCOMPARE(FakePrinter::listed.load(), 0);

    FakePrinter::answer = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    QCOMPARE(printerFamilies(FakePrinter::calls(), std::chrono::milliseconds::zero()), std::nullopt);
    CloseHandle(later);
}

// Under Wine no printer is installed: the real calls find none and the program lists what the
// screen offers, as GDI reports it (once per family and character set), each family once.
void TestPrinterFonts::withoutAPrinterTheScreensFamiliesAreListed()
{
    QCOMPARE(printerFamilies(GdiCalls::system(), PrinterPatience), std::nullopt);
    const std::unique_ptr<FontSource> source = systemFonts();
    QStringList listed;
    for (int i = 0; i < source->FontCount(); ++i)
        listed << source->Fonts(i);
    QVERIFY(listed.contains("DejaVu Sans"));

    QStringList reported;
    HDC screen = GetDC(nullptr);
    LOGFONTW all {};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(
        screen, &all,
        [](const LOGFONTW *font, const TEXTMETRICW *, DWORD, LPARAM data) -> int {
            reinterpret_cast<QStringList *>(data)->append(QString::fromWCharArray(font->lfFaceName));
            return 1;
        },
        reinterpret_cast<LPARAM>(&reported), 0);
    ReleaseDC(nullptr, screen);
    reported.removeDuplicates();
    QCOMPARE(listed, reported);
}

QTEST_MAIN(TestPrinterFonts)
#include "tst_printerfonts.moc"
