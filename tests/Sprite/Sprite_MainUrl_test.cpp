// Sprites loaded from URLs: served by a local HTTP server, collected by
// frames run by hand (finished request threads, then the request list).
#include <gtest/gtest.h>

#include <string>

#include "Graphics/Graphics_Bitmap32.h"
#include "Network/Http_Client.h"
#include "Sprite/Sprite_Main.h"
#include "support/AsyncEvents.h"
#include "support/HttpTestServer.h"
#include "support/ImageFixtures.h"
#include "support/RecordingConsole.h"

namespace {
// A width x height PNG strip: green with a red first column.
std::string PngStrip(int width, int height)
{
    ImageFixtures::Bytes rgba;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t px[4] = {uint8_t(x == 0 ? 255 : 0), uint8_t(x == 0 ? 0 : 255), 0, 255};
            rgba.insert(rgba.end(), px, px + 4);
        }
    const ImageFixtures::Bytes png = ImageFixtures::EncodeRgbaPng(width, height, rgba);
    return std::string(png.begin(), png.end());
}

HttpTestResponse Reply(int status, const std::string& body)
{
    HttpTestResponse response;
    response.status = status;
    response.body = body;
    return response;
}

struct SpriteUrlTest : ::testing::Test {
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
        Sprite_Init();
        LogConsole = savedLog;
        asyncevents::Events.clear();
    }
    // Frames until the image-loaded event of the sprite has run (10 s at most); its fields.
    static std::map<std::string, std::string> Loaded(int32_t sprite)
    {
        return asyncevents::RunUntilEvent(kSpriteImageLoadedEvent, sprite);
    }
};
}  // namespace

TEST_F(SpriteUrlTest, AddGivesAnEmptySpriteAtOnceAndFillsItWhenTheReplyArrives)
{
    const std::string png = PngStrip(20, 3);
    HttpTestServer server([&](const HttpTestRequest&) { return Reply(200, png); });
    const std::string url = server.Url("/img/strip.png?v=1");

    const int32_t index = Sprite_Add(url.c_str(), 2, false, false, false, true, 4, 1);
    ASSERT_EQ(index, 0);
    ASSERT_TRUE(Sprite_Exists(index));
    EXPECT_STREQ(Sprite_GetName(index), "__newsprite0");
    EXPECT_EQ(Sprite_Get(index)->frameCount, 0);  // nothing to draw before the reply
    // The next add takes the next slot while the download runs.
    EXPECT_EQ(Sprite_AddEmpty(), 1);

    const auto fields = Loaded(index);
    EXPECT_EQ(fields.at("filename"), url);
    EXPECT_EQ(fields.at("http_status"), "200");
    EXPECT_EQ(fields.at("status"), "0");
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].method, "GET");
    EXPECT_EQ(server.Requests()[0].target, "/img/strip.png?v=1");

    const CSprite* s = Sprite_Get(index);
    EXPECT_EQ(s->frameCount, 2);
    EXPECT_EQ(s->width, 10);
    EXPECT_EQ(s->height, 3);
    EXPECT_EQ(s->xorigin, 4);
    EXPECT_EQ(s->yorigin, 1);
    ASSERT_TRUE(s->GetFrameBitmap(0));
    EXPECT_EQ(s->GetFrameBitmap(0)->GetPixels()[0], 0xFFFF0000u);
    EXPECT_EQ(s->GetFrameBitmap(1)->GetPixels()[0], 0xFF00FF00u);
    EXPECT_EQ(log.text.find("Failed to decode"), std::string::npos);
}

// Whatever goes wrong, the sprite stays a valid empty one and the event still runs.
TEST_F(SpriteUrlTest, FailedDownloadsAndUndecodableRepliesLeaveAnEmptySprite)
{
    const std::string png = PngStrip(8, 8);
    HttpTestServer server([&](const HttpTestRequest& request) {
        if (request.target == "/missing") return Reply(404, "no such image");
        if (request.target == "/empty") return Reply(200, "");
        if (request.target == "/text") return Reply(200, "<html>not an image</html>");
        return Reply(200, png.substr(0, 40));  // a PNG cut short
    });
    const std::string refused = "http://127.0.0.1:" + std::to_string(HttpTestServer::ClosedPort()) + "/a.png";
    const auto undecodable = [](const std::string& url) { return "Failed to decode data in Sprite_Add " + url + "\n"; };
    struct Case {
        std::string url;
        const char* httpStatus;
        const char* status;
        std::string logged;  // "" : nothing logged
    };
    const Case cases[] = {
        {server.Url("/missing"), "404", "0", ""},
        {server.Url("/empty"), "200", "-1", ""},
        {server.Url("/text"), "200", "0", undecodable(server.Url("/text"))},
        {server.Url("/truncated"), "200", "0", undecodable(server.Url("/truncated"))},
        {refused, "200", "-1", "HttpError:"},  // no connection: nothing received, the client's error line on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        log.text.clear();
        const int32_t index = Sprite_Add(c.url.c_str(), 1, false, false, false, true, 0, 0);
        ASSERT_GE(index, 0);
        const auto fields = Loaded(index);
        EXPECT_EQ(fields.at("http_status"), c.httpStatus);
        EXPECT_EQ(fields.at("status"), c.status);
        if (c.logged.empty()) EXPECT_EQ(log.text, "");
        else EXPECT_NE(log.text.find(c.logged), std::string::npos) << log.text;
        ASSERT_TRUE(Sprite_Exists(index));
        EXPECT_EQ(Sprite_Get(index)->frameCount, 0);
        EXPECT_EQ(Sprite_Get(index)->GetFrameBitmap(0), nullptr);
    }
}

TEST_F(SpriteUrlTest, ReplaceKeepsTheOldFramesUntilTheReplyAndADeletedSlotStaysEmpty)
{
    const std::string png = PngStrip(6, 2);
    HttpTestServer server([&](const HttpTestRequest&) { return Reply(200, png); });
    const std::string url = server.Url("/b.png");

    const int32_t kept = Sprite_Add(url.c_str(), 1, false, false, false, true, 0, 0);
    Loaded(kept);
    ASSERT_EQ(Sprite_Get(kept)->width, 6);
    const int32_t other = Sprite_AddEmpty();
    EXPECT_FALSE(Sprite_Replace(other, url.c_str(), 3, false, false, false, true, 0, 0));
    EXPECT_EQ(Sprite_Get(other)->frameCount, 0);
    Loaded(other);
    EXPECT_EQ(Sprite_Get(other)->frameCount, 3);
    EXPECT_EQ(Sprite_Get(other)->width, 2);

    // A sprite deleted while its download runs is not brought back by the reply.
    asyncevents::Events.clear();
    const int32_t gone = Sprite_Add(url.c_str(), 1, false, false, false, true, 0, 0);
    ASSERT_TRUE(Sprite_Delete(gone));
    EXPECT_EQ(Loaded(gone).at("status"), "0");
    EXPECT_FALSE(Sprite_Exists(gone));
    EXPECT_EQ(Sprite_Get(kept)->width, 6);
}
