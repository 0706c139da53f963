#include "win32/dialog_font.h"

#include <vector>

namespace vyla::win32 {
namespace {

// Faces with Japanese glyphs: the user-interface fonts Windows ships with
// its Japanese support, then common free ones; an empty face lets the font
// mapper pick any font of the Japanese character set.
constexpr const wchar_t* kJapaneseFaces[] = {
    L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic", L"Meiryo", L"Yu Gothic", L"MS Gothic",
    L"Noto Sans CJK JP", L"Noto Sans JP", L"IPAexGothic", L"IPAGothic", L"",
};

HFONT ControlFont(HWND control)
{
    return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
}

struct Captions {
    std::wstring text;
    HFONT font = nullptr;
    bool mixedFonts = false;
    bool first = true;
};

BOOL CALLBACK CollectCaption(HWND control, LPARAM param)
{
    auto* captions = reinterpret_cast<Captions*>(param);
    const int length = GetWindowTextLengthW(control);
    if (length > 0) {
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), length + 1)));
        captions->text += text;
    }
    HFONT font = ControlFont(control);
    if (!captions->first && font != captions->font)
        captions->mixedFonts = true;
    captions->font = font;
    captions->first = false;
    return TRUE;
}

BOOL CALLBACK SetControlFont(HWND control, LPARAM font)
{
    SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

}  // namespace

DialogFont::~DialogFont()
{
    if (font_)
        DeleteObject(font_);
}

bool DialogFont::Shows(HFONT font, std::wstring_view text)
{
    std::wstring printable;
    for (wchar_t c : text)
        if (c > L' ')
            printable += c;
    if (printable.empty())
        return true;
    HDC dc = GetDC(nullptr);
    if (!dc)
        return false;
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    std::vector<WORD> glyphs(printable.size());
    const DWORD done = GetGlyphIndicesW(dc, printable.c_str(), static_cast<int>(printable.size()), glyphs.data(),
                                        GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (done == GDI_ERROR || done != printable.size())
        return false;
    for (WORD g : glyphs)
        if (g == 0xFFFF)
            return false;
    return true;
}

HFONT DialogFont::FindShowing(std::wstring_view text, LONG height, LONG weight)
{
    for (const wchar_t* face : kJapaneseFaces) {
        LOGFONTW lf{};
        lf.lfHeight = height;
        lf.lfWeight = weight;
        lf.lfCharSet = SHIFTJIS_CHARSET;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
        lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
        HFONT font = CreateFontIndirectW(&lf);
        if (!font)
            continue;
        // A face that is not installed gives whatever the mapper substitutes:
        // kept only if that shows the text too.
        if (Shows(font, text))
            return font;
        DeleteObject(font);
    }
    return nullptr;
}

void DialogFont::Apply(HWND dialog)
{
    Captions captions;
    EnumChildWindows(dialog, CollectCaption, reinterpret_cast<LPARAM>(&captions));
    if (!captions.mixedFonts && Shows(captions.font, captions.text))
        return;
    // The replacement takes the height and weight of the font the controls
    // had, so the captions fill their boxes as the template meant.
    HDC dc = GetDC(dialog);
    if (!dc)
        return;
    HGDIOBJ old = SelectObject(dc, captions.font ? static_cast<HGDIOBJ>(captions.font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    const bool measured = GetTextMetricsW(dc, &metrics) != FALSE;
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    if (!measured)
        return;
    HFONT font = FindShowing(captions.text, metrics.tmHeight, metrics.tmWeight);
    if (!font)
        return;  // nothing better installed: the controls keep what they had
    if (font_)
        DeleteObject(font_);
    font_ = font;
    EnumChildWindows(dialog, SetControlFont, reinterpret_cast<LPARAM>(font_));
}

}  // namespace vyla::win32
