// The Debian package from `make package`: what it holds, what it depends
// on, its documentation, Debian's checker's verdict, and the program in it,
// unpacked and run on an Xvfb server.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

#include "child_process.h"
#include "desktop_picture.h"
#include "harness.h"
#include "headless_scene.h"
#include "scene_check.h"
#include "x_client.h"
#include "xvfb_server.h"

using namespace vyla::x11::testing;
namespace fs = std::filesystem;

namespace {

constexpr int kCommandMs = 60000;

// Every regular file and link under root, as paths relative to it.
std::set<std::string> FilesUnder(const fs::path& root)
{
    std::set<std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); it != fs::recursive_directory_iterator(); it.increment(ec))
        if (!it->is_directory())
            files.insert(fs::relative(it->path(), root).string());
    return files;
}

class Package : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::exists(VYLA_PACKAGE_FILE)) << VYLA_PACKAGE_FILE << " was not built";
        ASSERT_EQ(RunCommand({"dpkg-deb", "-x", VYLA_PACKAGE_FILE, unpacked_.Path().string()}, {}, kCommandMs), 0);
    }

    std::string Field(const std::string& name)
    {
        auto [code, value] = RunCommandOutput({"dpkg-deb", "-f", VYLA_PACKAGE_FILE, name}, {}, kCommandMs);
        EXPECT_EQ(code, 0) << name;
        while (!value.empty() && value.back() == '\n')
            value.pop_back();
        return value;
    }

    TempDir unpacked_;
};

TEST_F(Package, HoldsWhatTheInstallInstallsUnderUsrWithTheProgramOnceAndItsDocumentation)
{
    fs::path usr = unpacked_.Path() / "usr";
    std::set<std::string> packaged = FilesUnder(usr);
    for (const char* file : {"bin/vyla", "share/man/man1/vyla.1.gz", "share/doc/vyla/README.md",
                             "share/doc/vyla/changelog.gz", "share/doc/vyla/copyright"})
        EXPECT_TRUE(packaged.count(file)) << file << " is not in the package";
    struct stat info {};
    ASSERT_EQ(stat((usr / "bin/vyla").c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXOTH) << "bin/vyla is not executable";
    // The daemon's hack is the program itself, through a relative link.
    const fs::path hack = usr / "libexec/xscreensaver/vyla";
    ASSERT_TRUE(fs::is_symlink(hack)) << "libexec/xscreensaver/vyla is a second copy of the program";
    EXPECT_EQ(fs::read_symlink(hack), "../../bin/vyla");
    EXPECT_TRUE(fs::equivalent(hack, usr / "bin/vyla"));
    EXPECT_EQ(FilesUnder(unpacked_.Path()).size(), packaged.size()) << "files outside /usr";

    // Nothing the build installs is left out (the xscreensaver hack and its
    // settings among them), and nothing else comes in.
    TempDir installed;
    ASSERT_EQ(RunCommand({"cmake", "--install", VYLA_BUILD_DIR, "--prefix", installed.Path().string()}, {}, kCommandMs), 0);
    EXPECT_EQ(FilesUnder(installed.Path()), packaged);
}

TEST_F(Package, DependsOnTheLibrariesTheProgramLinks)
{
    EXPECT_EQ(Field("Package"), "vyla");
    auto [code, arch] = RunCommandOutput({"dpkg", "--print-architecture"}, {});
    ASSERT_EQ(code, 0);
    arch.erase(arch.find_last_not_of('\n') + 1);
    EXPECT_EQ(Field("Architecture"), arch);
    // Worked out from the binary: each library it links, with the version
    // its symbols need.
    std::string depends = Field("Depends");
    for (const char* library : {"libc6 (>=", "libx11-6 (>=", "libxrandr2 (>=", "libxext6", "libgtk-3-0", "libwayland-client0"})
        EXPECT_NE(depends.find(library), std::string::npos) << library << " missing from: " << depends;
}

// The parts of the documentation Debian's checker does not compare with
// anything: the changelog's newest entry and the licence.
TEST_F(Package, ItsChangelogEndsAtItsVersionAndItsCopyrightHoldsTheLicence)
{
    const fs::path doc = unpacked_.Path() / "usr/share/doc/vyla";
    auto [code, version] =
        RunCommandOutput({"dpkg-parsechangelog", "-l", (doc / "changelog.gz").string(), "-S", "Version"}, {}, kCommandMs);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(version, Field("Version") + "\n") << "cmake/debian/changelog has no entry for this version";

    // LICENSE's copyright line and text, as the copyright format writes them.
    const std::string licence = ReadText(VYLA_SOURCE_DIR "/LICENSE");
    const std::string copyright = ReadText(doc / "copyright");
    std::smatch holder;
    ASSERT_TRUE(std::regex_search(licence, holder, std::regex("Copyright \\(c\\) ([^\n]+)\n\n")));
    EXPECT_NE(copyright.find("\nCopyright: " + holder[1].str() + "\n"), std::string::npos) << copyright;
    std::string text;
    std::istringstream lines(holder.suffix().str());
    for (std::string line; std::getline(lines, line);)
        text += line.empty() ? " .\n" : " " + line + "\n";
    EXPECT_NE(copyright.find("\nLicense: Expat\n" + text), std::string::npos) << copyright;
}

TEST_F(Package, TheUnpackedProgramShowsTheSceneAndEndsOnASignal)
{
    constexpr Size kScreen{640, 480};
    auto server = XvfbServer::Start(kScreen);
    ASSERT_TRUE(server);
    auto client = XClient::Connect(server->DisplayName());
    ASSERT_TRUE(client);
    Surface desktop = DesktopPicture(kScreen);
    ASSERT_TRUE(SetRootPicture(client->Get(), desktop));
    const HeadlessScene scene = RunHeadlessScene(desktop);

    TempDir settings;
    ChildProcess saver({(unpacked_.Path() / "usr/bin/vyla").string()},
                       {server->DisplayVariable(), "XDG_CONFIG_HOME=" + settings.Path().string()}, true);
    long mismatches = -1;
    bool shown = WaitFor(
        [&] {
            if (!saver.Running())
                return true;
            mismatches = SceneMismatches(client->Screenshot(), scene);
            return mismatches == 0;
        },
        10000);
    ASSERT_TRUE(saver.Running()) << "the unpacked program ended, status " << ExitCode(saver.Wait(0));
    EXPECT_TRUE(shown) << mismatches << " pixels differ from the headless scene";
    saver.Signal(SIGTERM);
    EXPECT_EQ(ExitCode(saver.Wait(5000)), 0);
}

// Debian's checker, run as an unprivileged user (as root it warns about
// that), finds no error and no warning; each note it still makes
// (informational, pedantic, experimental) is explained in docs/packaging.md.
TEST(PackageLintian, FindsNoErrorOrWarningAndEachRemainingNoteIsExplained)
{
    ASSERT_TRUE(fs::exists(VYLA_PACKAGE_FILE)) << VYLA_PACKAGE_FILE << " was not built";
    const UnprivilegedUser user = UnprivilegedUser::Choose();
    TempDir dir;
    const fs::path deb = dir.Path() / fs::path(VYLA_PACKAGE_FILE).filename();
    fs::copy_file(VYLA_PACKAGE_FILE, deb);
    ASSERT_TRUE(user.Own(dir.Path()));
    const std::string home = dir.Path().string();
    const std::vector<std::string> lintian{"env", "-i", "PATH=/usr/bin:/bin", "LANG=C.UTF-8", "HOME=" + home,
                                           "TMPDIR=" + home, "lintian", "--fail-on", "error,warning", "--display-info",
                                           "--pedantic", "--display-experimental", deb.string()};
    std::vector<std::string> argv = user.prefix;
    argv.insert(argv.end(), lintian.begin(), lintian.end());
    auto [code, output] = RunCommandOutput(argv, {}, kCommandMs);
    EXPECT_EQ(code, 0) << output;

    const std::string notes = ReadText(VYLA_SOURCE_DIR "/docs/packaging.md");
    static const std::regex tagLine(R"(^([A-Z]): vyla[^:]*: ([a-z0-9.+-]+))");
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::smatch tag;
        if (!std::regex_search(line, tag, tagLine))
            continue;
        const std::string kind = tag[1];
        if (kind == "E" || kind == "W")
            ADD_FAILURE() << line;
        else if (notes.find("`" + tag[2].str() + "`") == std::string::npos)
            ADD_FAILURE() << line << ": not explained in docs/packaging.md";
    }
}

}  // namespace
