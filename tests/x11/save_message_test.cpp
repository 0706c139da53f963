// OK that cannot save, in the real program on Xvfb: a GTK message box says
// so, and answering it ends the run as Cancel would.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <optional>

#include "child_process.h"
#include "harness.h"
#include "xvfb_server.h"

using namespace vyla::x11::testing;

namespace {

std::optional<unsigned long> VisibleWindow(const XvfbServer& server, const char* namePattern)
{
    auto [code, out] = RunCommandOutput({"xdotool", "search", "--onlyvisible", "--name", namePattern},
                                        {server.DisplayVariable()});
    if (code != 0 || out.empty())
        return std::nullopt;
    return std::stoul(out);
}

TEST(SaveMessageOnXvfb, AFolderNamedLikeTheFileIsReportedInAMessageBox)
{
    auto server = XvfbServer::Start(vyla::Size{800, 600});
    ASSERT_NE(server, nullptr) << "Xvfb did not start";
    TempDir home;
    const auto folder = home.Path() / "vyla.ini";
    std::filesystem::create_directory(folder);
    const auto errors = home.Path() / "stderr.txt";
    ChildProcess vyla({"sh", "-c", "exec \"$0\" /c 2>\"$1\"", ProgramPath(), errors.string()},
                      {server->DisplayVariable(), "XDG_CONFIG_HOME=" + home.Path().string()});
    std::optional<unsigned long> dialog;
    ASSERT_TRUE(WaitFor([&] { return (dialog = VisibleWindow(*server, "^Orvane$")).has_value() || !vyla.Running(); }, 10000))
        << "the settings dialog never showed";
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Xdotool(server->DisplayVariable(), {"windowfocus", "--sync", std::to_string(*dialog)}), 0);
    EXPECT_EQ(Xdotool(server->DisplayVariable(), {"key", "Return"}), 0);

    std::optional<unsigned long> box;
    ASSERT_TRUE(WaitFor([&] { return (box = VisibleWindow(*server, "^Vyla$")).has_value() || !vyla.Running(); }, 10000))
        << "no message box";
    ASSERT_TRUE(box) << "the program ended without a message box";
    EXPECT_TRUE(vyla.Running()) << "the message waits for the user";
    EXPECT_EQ(Xdotool(server->DisplayVariable(), {"windowfocus", "--sync", std::to_string(*box)}), 0);
    EXPECT_EQ(Xdotool(server->DisplayVariable(), {"key", "Return"}), 0);
    const std::optional<int> status = vyla.Wait(10000);
    ASSERT_TRUE(status) << "still running after the message was answered";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    // The same text also goes to stderr, on one line.
    const std::string text = ReadText(errors);
    EXPECT_NE(text.find("設定を保存できませんでした"), std::string::npos) << text;
    EXPECT_NE(text.find(folder.string()), std::string::npos) << text;
}

}  // namespace
