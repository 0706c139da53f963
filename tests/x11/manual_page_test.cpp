// The manual page and `vyla --help` name the same options: whoever adds one
// to the program must document it, and the page names none that is gone.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "harness.h"

using namespace vyla::x11::testing;

namespace {

using Names = std::set<std::string>;

// Every "--name" in text, without the dashes.
Names OptionNames(const std::string& text)
{
    static const std::regex option(R"(--([a-z][a-z0-9-]*))");
    Names names;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option); it != std::sregex_iterator(); ++it)
        names.insert((*it)[1]);
    return names;
}

// The options --help lists: a line that begins with two spaces and a dash
// names one, or several joined by commas ("  --girls, --no-girls ...").
Names HelpOptions(const std::string& help)
{
    static const std::regex listed(R"(^  --[a-z0-9-]+( [^ ,]+)?(, --[a-z0-9-]+( [^ ,]+)?)*)");
    Names names;
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);)
        if (std::smatch tag; std::regex_search(line, tag, listed))
            names.merge(OptionNames(tag.str()));
    return names;
}

// The options the page documents: the tag (the line after .TP or .TQ) of each
// paragraph under ".SH OPTIONS", its roff minus signs ("\-") as dashes.
Names PageOptions(const std::string& page)
{
    Names names;
    std::istringstream lines(page);
    bool inOptions = false, tag = false;
    for (std::string line; std::getline(lines, line); tag = line == ".TP" || line == ".TQ") {
        if (line.starts_with(".SH"))
            inOptions = line == ".SH OPTIONS";
        else if (inOptions && tag)
            names.merge(OptionNames(std::regex_replace(line, std::regex(R"(\\-)"), "-")));
    }
    return names;
}

TEST(ManualPage, DocumentsExactlyTheOptionsThatHelpListsAndNamesNoOther)
{
    auto [code, help] = RunCommandOutput({ProgramPath(), "--help"}, {"DISPLAY=:nothing-here"});
    ASSERT_EQ(code, 0);
    const Names listed = HelpOptions(help);
    ASSERT_TRUE(listed.count("root") && listed.count("no-girls")) << "--help's layout changed:\n" << help;

    const std::string path = VYLA_SOURCE_DIR "/platform/linux/vyla.1.in";
    const std::string page = ReadText(path);
    ASSERT_FALSE(page.empty()) << path;
    EXPECT_EQ(PageOptions(page), listed) << "the OPTIONS section of " << path << " and vyla --help differ";
    // Everywhere else (synopsis, examples, exit status) only options that exist.
    for (const std::string& name : OptionNames(std::regex_replace(page, std::regex(R"(\\-)"), "-")))
        EXPECT_TRUE(listed.count(name)) << "the page names --" << name << ", which --help does not list";
}

}  // namespace
