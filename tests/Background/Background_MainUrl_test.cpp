// Backgrounds loaded from URLs: served by a local HTTP server, collected by
// frames run by hand (finished request threads, then the request list).
#include <gtest/gtest.h>

#include <string>

#include "Background/Background_Main.h"
#include "Graphics/Graphics_Bitmap32.h"
#include "Network/Http_Client.h"
#include "support/AsyncEvents.h"
#include "support/HttpTestServer.h"
#include "support/ImageFixtures.h"
#include "support/RecordingConsole.h"

namespace {
struct BackgroundUrlTest : ::testing::Test {
    tagIConsole* savedLog = nullptr;
    RecordingConsole log;

    void SetUp() override
    {
        asyncevents::Events.clear();
        savedLog = LogConsole;
        LogConsole = &log;
    }
    void TearDown() override
    {
        Http_Shutdown();
        Background_DeleteAll();
        LogConsole = savedLog;
        asyncevents::Events.clear();
    }
    // Frames until the image-loaded event of the background has run (10 s at most); its fields.
    static std::map<std::string, std::string> Loaded(int32_t index)
    {
        return asyncevents::RunUntilEvent(60, index);
    }
    static HttpTestResponse Reply(int status, const std::string& body)
    {
        HttpTestResponse response;
        response.status = status;
        response.body = body;
        return response;
    }
};
}  // namespace

TEST_F(BackgroundUrlTest, AddGivesAnEmptyBackgroundAtOnceAndFillsItWhenTheReplyArrives)
{
    const ImageFixtures::Bytes png = ImageFixtures::EncodeRgbaPng(2, 1, {0, 0, 255, 255, 0, 255, 0, 255});
    const std::string body(png.begin(), png.end());
    HttpTestServer server([&](const HttpTestRequest& request) {
        return request.target == "/text" ? Reply(200, "not an image") : Reply(200, body);
    });
    const std::string url = server.Url("/bg.png");

    const int32_t index = Background_Add(url.c_str(), false, false, true);
    ASSERT_EQ(index, 0);
    ASSERT_TRUE(Background_Exists(index));
    EXPECT_EQ(Background_Get(index)->GetWidth(), 0);
    EXPECT_EQ(Background_AddEmpty(), 1);  // the next add takes the next index meanwhile

    const auto fields = Loaded(index);
    EXPECT_EQ(fields.at("filename"), url);
    EXPECT_EQ(fields.at("http_status"), "200");
    EXPECT_EQ(fields.at("status"), "0");
    const BackgroundResource* b = Background_Get(index);
    EXPECT_EQ(b->GetWidth(), 2);
    ASSERT_TRUE(b->GetBitmap());
    EXPECT_EQ(b->GetBitmap()->GetPixels()[0], 0xFF0000FFu);
    EXPECT_EQ(log.text, "");

    // A reply that does not decode is logged; the event still runs and the background stays empty.
    const std::string text = server.Url("/text");
    EXPECT_FALSE(Background_Replace(1, text.c_str(), false, false, true));
    EXPECT_EQ(Loaded(1).at("status"), "0");
    EXPECT_EQ(log.text, "Failed to decode data in Background_Add " + text + "\n");
    EXPECT_EQ(Background_Get(1)->GetWidth(), 0);
}
