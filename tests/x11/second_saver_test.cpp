// A second standalone saver started while one runs (an idle watcher firing
// twice): it leaves at once without touching the screen, and the first one
// still ends on the user's move.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <optional>

#include "child_process.h"
#include "desktop_picture.h"
#include "harness.h"
#include "x_client.h"
#include "xvfb_server.h"

using namespace vyla::x11::testing;

namespace {

constexpr Size kScreen{640, 480};
constexpr int kStartMs = 10000;
constexpr int kEndMs = 5000;

class SecondSaver : public ::testing::Test {
protected:
    void SetUp() override
    {
        server_ = XvfbServer::Start(kScreen);
        ASSERT_TRUE(server_) << "Xvfb did not start";
        client_ = XClient::Connect(server_->DisplayName());
        ASSERT_TRUE(client_);
        ASSERT_TRUE(SetRootPicture(client_->Get(), DesktopPicture(kScreen)));
    }

    std::unique_ptr<ChildProcess> StartSaver()
    {
        return std::make_unique<ChildProcess>(
            std::vector<std::string>{ProgramPath()},
            std::vector<std::string>{server_->DisplayVariable(), "XDG_CONFIG_HOME=" + settings_.Path().string()}, true);
    }

    // Up, holding both grabs, and past its first drawing step.
    bool WaitUntilRunning(ChildProcess& saver)
    {
        WaitFor([&] { return !saver.Running() || (client_->FindOverrideWindow(kSaverName) && client_->OthersHoldGrabs()); },
                kStartMs);
        return saver.Running();
    }

    int CountSaverWindows()
    {
        ::Window root = 0, parent = 0;
        ::Window* children = nullptr;
        unsigned count = 0;
        int found = 0;
        if (!XQueryTree(client_->Get(), client_->Root(), &root, &parent, &children, &count))
            return -1;
        for (unsigned i = 0; i < count; ++i) {
            char* name = nullptr;
            if (XFetchName(client_->Get(), children[i], &name) && name) {
                found += std::string(name) == kSaverName;
                XFree(name);
            }
        }
        if (children)
            XFree(children);
        return found;
    }

    int Xdo(std::vector<std::string> args) { return Xdotool(server_->DisplayVariable(), std::move(args)); }

    std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<XClient> client_;
    TempDir settings_;
};

TEST_F(SecondSaver, LeavesAtOnceWithStatusZeroAndTheFirstStillEndsOnAMove)
{
    auto first = StartSaver();
    ASSERT_TRUE(WaitUntilRunning(*first)) << "the first saver ended, status " << ExitCode(first->Wait(0));

    auto second = StartSaver();
    auto status = second->Wait(kStartMs);
    ASSERT_TRUE(status) << "the second saver stayed up";
    EXPECT_EQ(ExitCode(status), 0);
    EXPECT_EQ(CountSaverWindows(), 1) << "the second saver made a window of its own";

    EXPECT_TRUE(first->Running());
    EXPECT_TRUE(client_->OthersHoldGrabs()) << "the first saver lost its grabs";
    EXPECT_EQ(Xdo({"mousemove_relative", "--", "1", "0"}), 0);
    EXPECT_EQ(ExitCode(first->Wait(kEndMs)), 0);
}

TEST_F(SecondSaver, MayStartOnceTheFirstHasEndedHoweverItEnded)
{
    // Ended by the user, and killed outright: neither leaves a claim behind.
    auto first = StartSaver();
    ASSERT_TRUE(WaitUntilRunning(*first));
    EXPECT_EQ(Xdo({"key", "a"}), 0);
    EXPECT_EQ(ExitCode(first->Wait(kEndMs)), 0);

    auto killed = StartSaver();
    ASSERT_TRUE(WaitUntilRunning(*killed)) << "a saver after a normal end did not stay up";
    killed->Signal(SIGKILL);
    ASSERT_TRUE(killed->Wait(kEndMs));

    auto next = StartSaver();
    ASSERT_TRUE(WaitUntilRunning(*next)) << "a saver after a killed one did not stay up";
    EXPECT_EQ(Xdo({"mousemove_relative", "--", "0", "1"}), 0);
    EXPECT_EQ(ExitCode(next->Wait(kEndMs)), 0);
}

TEST_F(SecondSaver, TheRunningSaverOwnsItsSelectionAndRefusesToConvertIt)
{
    Display* d = client_->Get();
    Atom selection = XInternAtom(d, "VYLA_SAVER_0", False);
    EXPECT_EQ(XGetSelectionOwner(d, selection), static_cast<::Window>(None));
    auto saver = StartSaver();
    ASSERT_TRUE(WaitUntilRunning(*saver));
    EXPECT_NE(XGetSelectionOwner(d, selection), static_cast<::Window>(None));

    // A client asking for its contents gets an answer (none), not a wait.
    ::Window requestor = XCreateSimpleWindow(d, client_->Root(), 0, 0, 1, 1, 0, 0, 0);
    XConvertSelection(d, selection, XInternAtom(d, "STRING", False), XInternAtom(d, "VYLA_TEST", False), requestor,
                      CurrentTime);
    XEvent reply{};
    bool answered = WaitFor([&] { return XCheckTypedWindowEvent(d, requestor, SelectionNotify, &reply) == True; }, kStartMs);
    EXPECT_TRUE(answered) << "no answer to a conversion request";
    if (answered) {
        EXPECT_EQ(reply.xselection.property, static_cast<Atom>(None));
    }
    XDestroyWindow(d, requestor);

    saver->Signal(SIGTERM);
    EXPECT_EQ(ExitCode(saver->Wait(kEndMs)), 0);
    EXPECT_TRUE(WaitFor([&] { return XGetSelectionOwner(d, selection) == None; }, kEndMs)) << "the claim outlived the saver";
}

}  // namespace
