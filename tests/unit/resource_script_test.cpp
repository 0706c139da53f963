// The resource compiler builds "IDD_CONFIGURE" from the resource script and
// the dialog's one description (resources/configure_dialog.h), through the
// preprocessor; every other backend builds it from the template data. What
// the resource compiler reads must say exactly what the template data says.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "resources/dialogs.h"

namespace {

struct ScriptControl {
    std::string text, windowClass;
    int id = 0;
    std::uint32_t style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
};

struct ScriptDialog {
    int x = 0, y = 0, cx = 0, cy = 0;
    std::optional<std::uint32_t> style, exStyle;
    std::optional<std::string> caption;
    std::vector<std::string> otherStatements;  // FONT, MENU, CLASS...: none are wanted
    std::vector<ScriptControl> controls;
    std::vector<std::string> unreadable;
};

std::string ReadSource(const char* file)
{
    std::ifstream in(std::string(VYLA_SOURCE_DIR "/resources/") + file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string ReadScript()
{
    return ReadSource("vyla.rc");
}

std::vector<std::string> SplitArguments(const std::string& list)
{
    std::vector<std::string> out(1);
    bool quoted = false;
    for (char c : list) {
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted) {
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    for (auto& a : out) {
        a.erase(0, a.find_first_not_of(" \t"));
        a.erase(a.find_last_not_of(" \t") + 1);
    }
    return out;
}

// The script as the resource compiler reads it once the preprocessor has
// expanded what it takes from the dialog's description: the control list,
// one control a line, and the names of numbers and texts.
std::string ExpandedScript()
{
    std::string text = ReadSource("configure_dialog.h") + "\n" + ReadScript();
    // Continued lines are one line to the preprocessor.
    for (std::size_t at; (at = text.find("\\\n")) != std::string::npos;)
        text.replace(at, 2, "\x01");
    std::map<std::string, std::string> names;
    std::string listItems, controlParams, controlBody, out;
    const std::regex object(R"(^#define\s+(\w+)\s+(.*?)\s*$)");
    const std::regex list(R"(^#define\s+VYLA_CONFIGURE_CONTROLS\(CONTROL\)(.*)$)");
    const std::regex rcControl(R"(^#define\s+VYLA_RC_CONTROL\(([^)]*)\)\s+(.*?)\s*$)");
    std::istringstream lines(text);
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (std::regex_match(line, m, list)) {
            listItems = m[1];
        } else if (std::regex_match(line, m, rcControl)) {
            controlParams = m[1];
            controlBody = m[2];
        } else if (std::regex_match(line, m, object)) {
            names[m[1]] = m[2];
        } else {
            out += line + "\n";
        }
    }
    std::string controls;
    const std::regex item(R"(CONTROL\((.*?)\)\s*\x01?)");
    const std::vector<std::string> params = SplitArguments(controlParams);
    for (auto it = std::sregex_iterator(listItems.begin(), listItems.end(), item); it != std::sregex_iterator(); ++it) {
        const std::vector<std::string> args = SplitArguments((*it)[1]);
        std::string c = controlBody;
        for (std::size_t i = 0; i < params.size() && i < args.size(); ++i)
            c = std::regex_replace(c, std::regex("\\b" + params[i] + "\\b"), args[i]);
        controls += "    " + c + "\n";
    }
    const std::string call = "    VYLA_CONFIGURE_CONTROLS(VYLA_RC_CONTROL)\n";
    if (const auto at = out.find(call); at != std::string::npos)
        out.replace(at, call.size(), controls);
    // Names stand for numbers and texts; outside of texts only.
    for (const auto& [name, value] : names) {
        const std::regex word("\\b" + name + "\\b(?=(?:[^\"]*\"[^\"]*\")*[^\"]*$)");
        for (int pass = 0; pass < 3; ++pass)
            out = std::regex_replace(out, word, value);
    }
    return out;
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
        R"re(^\s*CONTROL\s+"([^"]*)"\s*,\s*(-?\d+)\s*,\s*"(\w+)"\s*,\s*(\w+)\s*,\s*(-?\d+)\s*,\s*(-?\d+)\s*,\s*(-?\d+)\s*,\s*(-?\d+)\s*$)re");
    const std::regex statement(R"re(^(STYLE|EXSTYLE|CAPTION)\s+(.*?)\s*$)re");
    std::smatch m;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!std::regex_match(line, m, head))
            continue;
        ScriptDialog d;
        d.x = std::stoi(m[1]);
        d.y = std::stoi(m[2]);
        d.cx = std::stoi(m[3]);
        d.cy = std::stoi(m[4]);
        bool body = false;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line == "BEGIN") {
                body = true;
            } else if (line == "END") {
                return d;
            } else if (body && std::regex_match(line, m, control)) {
                d.controls.push_back({m[1], m[3], std::stoi(m[2]), Number(m[4]), std::stoi(m[5]), std::stoi(m[6]),
                                      std::stoi(m[7]), std::stoi(m[8])});
            } else if (!body && std::regex_match(line, m, statement)) {
                if (m[1] == "STYLE")
                    d.style = Number(m[2]);
                else if (m[1] == "EXSTYLE")
                    d.exStyle = Number(m[2]);
                else if (m[2].length() >= 2 && m[2].str().front() == '"' && m[2].str().back() == '"')
                    d.caption = m[2].str().substr(1, m[2].length() - 2);
                else
                    d.unreadable.push_back(line);
            } else if (!body && !line.empty()) {
                d.otherStatements.push_back(line);
            } else if (body && !line.empty()) {
                d.unreadable.push_back(line);
            }
        }
        return std::nullopt;  // no END
    }
    return std::nullopt;
}

TEST(ResourceScript, ConfigureDialogAgreesWithTheTemplateData)
{
    ASSERT_FALSE(ReadScript().empty()) << "resources/vyla.rc not found";
    const std::string script = ExpandedScript();
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
    const std::string script = ReadScript();
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
