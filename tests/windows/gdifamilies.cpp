// Writes the font families a device offers, as GDI reports them (once per family and character set),
// one UTF-8 line each: an independent reading to check the program's list against.
//   gdifamilies printer|screen OUTPUT
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int CALLBACK writeFamily(const LOGFONTW *font, const TEXTMETRICW *, DWORD, LPARAM data)
{
    char name[4 * LF_FACESIZE];
    const int length
        = WideCharToMultiByte(CP_UTF8, 0, font->lfFaceName, -1, name, sizeof name, nullptr, nullptr);
    if (length > 0)
        std::fprintf(reinterpret_cast<std::FILE *>(data), "%s\n", name);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3)
        return 2;
    HDC dc = nullptr;
    if (std::strcmp(argv[1], "printer") == 0) {
        wchar_t printer[512];
        DWORD size = 512;
        if (!GetDefaultPrinterW(printer, &size))
            return 3;
        dc = CreateDCW(nullptr, printer, nullptr, nullptr);
    } else {
        dc = GetDC(nullptr);
    }
    if (!dc)
        return 4;
    std::FILE *out = std::fopen(argv[2], "w");
    if (!out)
        return 5;
    LOGFONTW all {};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(
        dc, &all, reinterpret_cast<FONTENUMPROCW>(writeFamily), reinterpret_cast<LPARAM>(out), 0);
    std::fclose(out);
    return 0;
}
