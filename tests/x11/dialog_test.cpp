// The settings dialog of the real program on an Xvfb server, worked with
// xdotool as a user would.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <optional>
#include <sstream>

#include "child_process.h"
#include "desktop_picture.h"
#include "harness.h"
#include "portable/winapi/types.h"
#include "resources/dialogs.h"
#include "linux/dialog_layout.h"
#include "x_client.h"
#include "xvfb_server.h"

using namespace vyla::x11::testing;

namespace {

constexpr int kStartMs = 10000;
constexpr int kEndMs = 5000;

class DialogOnXvfb : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server_ = XvfbServer::Start(Size{800, 600});
        if (server_)
            client_ = XClient::Connect(server_->DisplayName());
        if (client_)
            SetRootPicture(client_->Get(), DesktopPicture(Size{800, 600}));
    }
    static void TearDownTestSuite()
    {
        client_.reset();
        server_.reset();
    }
    void SetUp() override
    {
        ASSERT_NE(server_, nullptr) << "Xvfb did not start";
        ASSERT_NE(client_, nullptr) << "no connection to Xvfb";
    }

    std::filesystem::path SettingsFile() const { return settings_.Path() / "vyla.ini"; }

    // Starts `vyla /c` and waits for its window, which it returns. quiet:
    // its output is not shown (GTK complains when its window is destroyed).
    std::optional<::Window> OpenDialog(bool quiet = false)
    {
        dialog_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{ProgramPath(), "/c"},
            std::vector<std::string>{server_->DisplayVariable(), "XDG_CONFIG_HOME=" + settings_.Path().string()}, !quiet);
        std::optional<::Window> window;
        WaitFor(
            [&] {
                auto [code, out] = RunCommandOutput({"xdotool", "search", "--onlyvisible", "--name", "^Orvane$"},
                                                    {server_->DisplayVariable()});
                if (code == 0 && !out.empty())
                    window = std::stoul(out);
                return window.has_value() || !dialog_->Running();
            },
            kStartMs);
        if (window)
            Xdo({"windowfocus", "--sync", std::to_string(*window)});
        return window;
    }

    int Xdo(std::vector<std::string> args) { return Xdotool(server_->DisplayVariable(), std::move(args)); }

    // Clicks the middle of a control of the template. The window's size
    // tells the dialog base units: the dialog is 136 x 112 dialog units.
    void ClickControl(::Window window, int id)
    {
        auto rect = client_->WindowRect(window);
        ASSERT_TRUE(rect);
        const vyla::DialogTemplate& t = vyla::kConfigureDialog;
        ASSERT_EQ(rect->Width() * 4 % t.cx, 0) << "the window is not the template's size";
        vyla::linux::DialogBaseUnits units{rect->Width() * 4 / t.cx, rect->Height() * 8 / t.cy};
        for (const auto& c : t.controls)
            if (c.id == id) {
                Rect r = vyla::linux::DialogUnitsToPixels(units, c.x, c.y, c.cx, c.cy);
                int x = rect->left + (r.left + r.right) / 2;
                int y = rect->top + (r.top + r.bottom) / 2;
                // One xdotool run: the server takes the move before the
                // click. (--sync would wait forever when the pointer is
                // there already.)
                EXPECT_EQ(Xdo({"mousemove", std::to_string(x), std::to_string(y), "click", "1"}), 0);
                return;
            }
        FAIL() << "no control " << id;
    }

    int WaitForEnd() { return ExitCode(dialog_->Wait(kEndMs)); }

    inline static std::unique_ptr<XvfbServer> server_;
    inline static std::unique_ptr<XClient> client_;
    TempDir settings_;
    std::unique_ptr<ChildProcess> dialog_;
};

// The value of key in the [options] section, or "(none)".
std::string Setting(const std::string& ini, const std::string& key)
{
    std::istringstream in(ini);
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[')
            section = line;
        else if (section == "[options]" && line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    }
    return "(none)";
}

TEST_F(DialogOnXvfb, ReturnWritesAllFourSettings)
{
    auto window = OpenDialog();
    ASSERT_TRUE(window) << "no window titled Orvane";

    // The picture for the documentation: the dialog and a little margin.
    if (auto rect = client_->WindowRect(*window)) {
        Rect area = Rect{rect->left - 16, rect->top - 16, rect->right + 16, rect->bottom + 16};
        EXPECT_TRUE(WritePng(client_->Screenshot(area), OutputDirectory() / "dialog-linux.png"));
    }

    EXPECT_EQ(Xdo({"key", "Return"}), 0);
    EXPECT_EQ(WaitForEnd(), 0);
    std::string ini = ReadText(SettingsFile());
    EXPECT_EQ(Setting(ini, "color"), "0") << ini;
    EXPECT_EQ(Setting(ini, "speed"), "0") << ini;
    EXPECT_EQ(Setting(ini, "girls"), "0") << ini;
    EXPECT_EQ(Setting(ini, "interval"), "0") << ini;
}

TEST_F(DialogOnXvfb, EscapeWritesNothing)
{
    const std::string before = "[options]\ncolor=1\nspeed=2\ngirls=1\ninterval=30\n";
    WriteText(SettingsFile(), before);
    auto window = OpenDialog();
    ASSERT_TRUE(window) << "no window titled Orvane";
    ClickControl(*window, 111);  // a change that must not be kept
    EXPECT_EQ(Xdo({"key", "Escape"}), 0);
    EXPECT_EQ(WaitForEnd(), 0);
    EXPECT_EQ(ReadText(SettingsFile()), before);
}

TEST_F(DialogOnXvfb, EscapeWithoutAFileLeavesNone)
{
    auto window = OpenDialog();
    ASSERT_TRUE(window) << "no window titled Orvane";
    EXPECT_EQ(Xdo({"key", "Escape"}), 0);
    EXPECT_EQ(WaitForEnd(), 0);
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

TEST_F(DialogOnXvfb, ClicksAndTypingChangeWhatIsWritten)
{
    auto window = OpenDialog();
    ASSERT_TRUE(window) << "no window titled Orvane";
    ClickControl(*window, 112);  // white
    ClickControl(*window, 123);  // fast
    ClickControl(*window, 122);  // normal after all
    ClickControl(*window, 101);  // slideshow on
    ClickControl(*window, 102);  // the interval box
    EXPECT_EQ(Xdo({"key", "ctrl+a"}), 0);
    EXPECT_EQ(Xdo({"type", "15s"}), 0);
    EXPECT_EQ(Xdo({"key", "Return"}), 0);
    EXPECT_EQ(WaitForEnd(), 0);
    std::string ini = ReadText(SettingsFile());
    EXPECT_EQ(Setting(ini, "color"), "1") << ini;
    EXPECT_EQ(Setting(ini, "speed"), "1") << ini;
    EXPECT_EQ(Setting(ini, "girls"), "1") << ini;
    EXPECT_EQ(Setting(ini, "interval"), "15") << ini;
}

TEST_F(DialogOnXvfb, OkButtonConfirms)
{
    WriteText(SettingsFile(), "[options]\ncolor=0\nspeed=0\ngirls=1\ninterval=7\n");
    auto window = OpenDialog();
    ASSERT_TRUE(window) << "no window titled Orvane";
    ClickControl(*window, 101);  // slideshow off
    ClickControl(*window, IDOK);
    EXPECT_EQ(WaitForEnd(), 0);
    std::string ini = ReadText(SettingsFile());
    EXPECT_EQ(Setting(ini, "girls"), "0") << ini;
    EXPECT_EQ(Setting(ini, "interval"), "7") << ini;
}

TEST_F(DialogOnXvfb, StoredValuesOutsideTheChoicesStayUnchosen)
{
    // Colour 7 and speed 5 check no button; showing that must not click one.
    WriteText(SettingsFile(), "[options]\ncolor=7\nspeed=5\ngirls=1\ninterval=-5\n");
    auto window = OpenDialog();
    ASSERT_TRUE(window) << "no window titled Orvane";
    EXPECT_EQ(Xdo({"key", "Return"}), 0);
    EXPECT_EQ(WaitForEnd(), 0);
    std::string ini = ReadText(SettingsFile());
    EXPECT_EQ(Setting(ini, "color"), "0") << ini;
    EXPECT_EQ(Setting(ini, "speed"), "0") << ini;
    EXPECT_EQ(Setting(ini, "girls"), "1") << ini;
    EXPECT_EQ(Setting(ini, "interval"), "-5") << ini;
}

TEST_F(DialogOnXvfb, TheCloseBoxAndAnOutsideDestroyCancel)
{
    const std::string before = "[options]\ncolor=1\n";
    WriteText(SettingsFile(), before);
    auto window = OpenDialog();
    ASSERT_TRUE(window) << "no window titled Orvane";
    ClickControl(*window, 121);
    client_->SendDeleteWindow(*window);
    EXPECT_EQ(WaitForEnd(), 0);
    EXPECT_EQ(ReadText(SettingsFile()), before);

    window = OpenDialog(true);
    ASSERT_TRUE(window) << "no window titled Orvane";
    ClickControl(*window, 121);
    EXPECT_EQ(Xdo({"windowclose", std::to_string(*window)}), 0);
    EXPECT_EQ(WaitForEnd(), 0);
    EXPECT_EQ(ReadText(SettingsFile()), before);
}

TEST_F(DialogOnXvfb, SigtermCancels)
{
    const std::string before = "[options]\ncolor=1\n";
    WriteText(SettingsFile(), before);
    auto window = OpenDialog();
    ASSERT_TRUE(window) << "no window titled Orvane";
    dialog_->Signal(SIGTERM);
    EXPECT_EQ(WaitForEnd(), 0);
    EXPECT_EQ(ReadText(SettingsFile()), before);
}

}  // namespace
