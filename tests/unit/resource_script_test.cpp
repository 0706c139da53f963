// The resource compiler builds "IDD_CONFIGURE" from the resource script and
// the dialog's one description (resources/configure_dialog.h), through the
// preprocessor; every other backend builds it from the template data. What
// the resource compiler reads must say exactly what the template data says.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "resources/dialogs.h"
#include "support/temp_dir.h"
#include "support/text_files.h"

namespace {

using vyla::testing::ReadText;
using vyla::testing::WriteText;

struct ScriptControl {
    std::string text, windowClass;
    int id = 0;
    std::uint32_t style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
};

struct ScriptDialog {
    int x = 0, y = 0, cx = 0, cy = 0;
    std::optional<std::uint32_t> style{}, exStyle{};
    std::optional<std::string> caption{};
    std::vector<std::string> otherStatements{};  // FONT, MENU, CLASS...: none are wanted
    std::vector<ScriptControl> controls{};
    std::vector<std::string> unreadable{};
};

const char kScript[] = VYLA_SOURCE_DIR "/resources/vyla.rc";

// The script as the resource compiler reads it: through the C preprocessor,
// with the system's header and the generated bitmap list left empty.
std::string PreprocessedScript()
{
    const vyla::testing::TempDir dir;
    WriteText(dir.Path() / "windows.h", "");
    WriteText(dir.Path() / "vyla_bitmaps.rc", "");
    const std::string out = (dir.Path() / "vyla.i").string();
    const std::string command =
        "cpp -P -xc -DRC_INVOKED -I '" + dir.Path().string() + "' '" + kScript + "' -o '" + out + "'";
    return std::system(command.c_str()) == 0 ? ReadText(out) : std::string();
}

std::uint32_t Number(const std::string& text)
{
    return static_cast<std::uint32_t>(std::stoul(text, nullptr, 0));
}

// The DIALOG block of the named dialog, as the resource compiler reads the
// statements this script uses.
std::optional<ScriptDialog> ParseDialog(const std::string& script, const std::string& name)
{
    std::istringstream lines(script);
    std::string line;
    const std::regex head("^" + name + R"(\s+DIALOG\s+(-?\d+)\s*,\s*(-?\d+)\s*,\s*(-?\d+)\s*,\s*(-?\d+)\s*$)");
    const std::regex control(
        R"re(\s*CONTROL\s+"([^"]*)"\s*,\s*(-?\d+)\s*,\s*"(\w+)"\s*,\s*(\w+)\s*,\s*(-?\d+)\s*,\s*(-?\d+)\s*,\s*(-?\d+)\s*,\s*(-?\d+)\b)re");
    const std::regex statement(R"re(^(STYLE|EXSTYLE|CAPTION)\s+(.*?)\s*$)re");
    std::smatch m;
    while (std::getline(lines, line)) {
        if (!std::regex_match(line, m, head))
            continue;
        ScriptDialog d{std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4])};
        bool body = false;
        while (std::getline(lines, line)) {
            if (line == "BEGIN") {
                body = true;
            } else if (line == "END") {
                return d;
            } else if (body) {
                // The expanded control list is one line; every statement on it must read.
                auto at = line.cbegin();
                for (; std::regex_search(at, line.cend(), m, control, std::regex_constants::match_continuous);
                     at = m[0].second)
                    d.controls.push_back({m[1], m[3], std::stoi(m[2]), Number(m[4]), std::stoi(m[5]),
                                          std::stoi(m[6]), std::stoi(m[7]), std::stoi(m[8])});
                if (std::any_of(at, line.cend(), [](char c) { return !std::isspace(static_cast<unsigned char>(c)); }))
                    d.unreadable.push_back(line);
            } else if (std::regex_match(line, m, statement)) {
                if (m[1] == "STYLE")
                    d.style = Number(m[2]);
                else if (m[1] == "EXSTYLE")
                    d.exStyle = Number(m[2]);
                else if (m[2].length() >= 2 && m[2].str().front() == '"' && m[2].str().back() == '"')
                    d.caption = m[2].str().substr(1, m[2].length() - 2);
                else
                    d.unreadable.push_back(line);
            } else if (!line.empty()) {
                d.otherStatements.push_back(line);
            }
        }
        return std::nullopt;  // no END
    }
    return std::nullopt;
}

TEST(ResourceScript, ConfigureDialogAgreesWithTheTemplateData)
{
    ASSERT_FALSE(ReadText(kScript).empty()) << "resources/vyla.rc not found";
    const std::string script = PreprocessedScript();
    ASSERT_FALSE(script.empty()) << "the preprocessor (cpp) did not run";
    const auto dialog = ParseDialog(script, vyla::kConfigureDialog.name);
    ASSERT_TRUE(dialog) << "no complete DIALOG block for " << vyla::kConfigureDialog.name;
    const vyla::DialogTemplate& t = vyla::kConfigureDialog;

    EXPECT_TRUE(dialog->unreadable.empty()) << "unreadable line: " << dialog->unreadable.front();
    EXPECT_TRUE(dialog->otherStatements.empty()) << "unexpected statement: " << dialog->otherStatements.front()
                                                 << " (the dialog has no font, menu or class of its own)";
    EXPECT_EQ(dialog->x, t.x);
    EXPECT_EQ(dialog->y, t.y);
    EXPECT_EQ(dialog->cx, t.cx);
    EXPECT_EQ(dialog->cy, t.cy);
    EXPECT_EQ(dialog->style.value_or(0), t.style);
    EXPECT_EQ(dialog->exStyle.value_or(0), t.exStyle);
    EXPECT_EQ(dialog->caption.value_or(""), t.caption);

    ASSERT_EQ(dialog->controls.size(), t.controls.size());
    for (std::size_t i = 0; i < t.controls.size(); ++i) {
        const vyla::DialogControl& want = t.controls[i];
        const ScriptControl& got = dialog->controls[i];
        SCOPED_TRACE(::testing::Message() << "control " << i + 1 << " (id " << want.id << ")");
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.windowClass, want.windowClass);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
    }
}

TEST(ResourceScript, ReadsItsTextsAsUtf8)
{
    // Without this the resource compiler would take the UTF-8 captions for
    // another code page and store the wrong UTF-16.
    const std::string script = ReadText(kScript);
    const auto pragma = script.find("#pragma code_page(65001)");
    ASSERT_NE(pragma, std::string::npos);
    EXPECT_LT(pragma, script.find(" DIALOG "));
}

TEST(ResourceScript, ParserNoticesADisagreement)
{
    const std::string script = "X DIALOG 1, 2, 3, 4\nSTYLE 0x10\nFONT 8, \"MS Shell Dlg\"\nBEGIN\n"
                               "    CONTROL \"A\", 7, \"BUTTON\", 0x50010000, 1, 2, 3, 4\n    PUSHBUTTON \"B\", 8, 1, 2, 3, 4\nEND\n";
    const auto d = ParseDialog(script, "X");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->style, 0x10u);
    EXPECT_FALSE(d->caption);
    ASSERT_EQ(d->otherStatements.size(), 1u);
    ASSERT_EQ(d->controls.size(), 1u);
    EXPECT_EQ(d->controls[0].id, 7);
    EXPECT_EQ(d->unreadable.size(), 1u) << "a statement of another form is reported, not skipped";
    EXPECT_FALSE(ParseDialog("X DIALOG 1, 2, 3, 4\nBEGIN\n", "X")) << "an unterminated block is no block";
}

}  // namespace
