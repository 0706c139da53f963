// The Debian package from `make package`: what it holds, what it depends
// on, and the program in it, unpacked and run on an Xvfb server.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
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

TEST_F(Package, HoldsWhatTheInstallInstallsUnderUsrWithTheProgramReadmeAndLicence)
{
    fs::path usr = unpacked_.Path() / "usr";
    std::set<std::string> packaged = FilesUnder(usr);
    for (const char* file : {"bin/vyla", "share/doc/vyla/README.md", "share/doc/vyla/copyright"})
        EXPECT_TRUE(packaged.count(file)) << file << " is not in the package";
    struct stat info {};
    ASSERT_EQ(stat((usr / "bin/vyla").c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXOTH) << "bin/vyla is not executable";
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
    for (const char* library : {"libc6 (>=", "libx11-6 (>=", "libxrandr2 (>=", "libxext6", "libgtk-3-0"})
        EXPECT_NE(depends.find(library), std::string::npos) << library << " missing from: " << depends;
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

}  // namespace
