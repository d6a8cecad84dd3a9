// Settings changed from another thread while the source encodes.

#include "CaptureSource.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

TEST(CaptureThreads, SettingsChangeWhileFramesAreEncoded)
{
    std::size_t received = 0;
    auto sink = [&](const std::uint8_t*, std::size_t cbData)
    {
        received += cbData;
        return true;
    };
    std::string error;
    std::unique_ptr<CaptureSource> pSource = CaptureSource::Create(CaptureSettings(), sink, &error);
    ASSERT_NE(pSource, nullptr) << error;

    std::atomic<bool> done = false;
    std::thread changer(
        [&]
        {
            CaptureSettings settings;
            for (int i = 0; !done; ++i)
            {
                settings.brightness = i % 256;
                settings.volume = -(i % 40);
                settings.input = i % 2;
                settings.bitRate = 3000000 + 100000 * (i % 10);
                pSource->UpdateSettings(settings);
                EXPECT_LE(pSource->FramesEncoded(), 60);
                std::this_thread::yield();
            }
        });
    for (int frame = 0; frame < 60 && error.empty(); ++frame)
        pSource->EncodeNextFrame(&error);
    done = true;
    changer.join();
    EXPECT_EQ(error, "");
    EXPECT_TRUE(pSource->Finish(&error)) << error;
    EXPECT_EQ(pSource->FramesEncoded(), 60);
    EXPECT_GT(received, 0u);
}
