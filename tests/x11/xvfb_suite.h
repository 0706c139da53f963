// One Xvfb server for a whole test suite, showing the sample desktop: the
// suites that run the real program start it once and share it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "desktop_picture.h"
#include "x_client.h"
#include "xvfb_server.h"

namespace vyla::x11::testing {

// Suite is the deriving fixture, so every suite has its own server.
template <typename Suite>
class XvfbSuite : public ::testing::Test {
protected:
    enum class Desktop {
        Background,  // the root's background only
        Wallpaper,   // and the _XROOTPMAP_ID property, as desktop-setting programs leave it
    };

    // Call from the suite's SetUpTestSuite.
    static void StartServer(Size size, Desktop kind = Desktop::Background)
    {
        server_ = XvfbServer::Start(size);
        if (server_)
            client_ = XClient::Connect(server_->DisplayName());
        desktop_ = std::make_unique<raster::Surface>(DesktopPicture(size));
        if (client_) {
            if (kind == Desktop::Wallpaper)
                SetWallpaper(client_->Get(), *desktop_);
            else
                SetRootPicture(client_->Get(), *desktop_);
        }
    }
    static void TearDownTestSuite()
    {
        client_.reset();
        server_.reset();
        desktop_.reset();
    }
    void SetUp() override
    {
        ASSERT_NE(server_, nullptr) << "Xvfb did not start";
        ASSERT_NE(client_, nullptr) << "no connection to Xvfb";
    }

    inline static std::unique_ptr<XvfbServer> server_;
    inline static std::unique_ptr<XClient> client_;
    inline static std::unique_ptr<raster::Surface> desktop_;
};

}  // namespace vyla::x11::testing
