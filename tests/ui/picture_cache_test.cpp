#include <gtest/gtest.h>

#include "platform/pixel_picture.h"
#include "support/temp_folder.h"
#include "ui/picture_source.h"

namespace v270 {
namespace {

// Decodes any existing file into a picture as wide as the file is long.
class CountingDecoder : public platform::PictureDecoder {
  public:
    std::shared_ptr<const platform::Picture> load(const std::filesystem::path& file) override {
        ++loads;
        std::error_code error;
        const auto bytes = std::filesystem::file_size(file, error);
        if (error || bytes == 0)
            return nullptr;
        return std::make_shared<platform::PixelPicture>(
            platform::PixelSize{static_cast<int32_t>(bytes), 1}, platform::Rgb{});
    }
    int loads = 0;
};

class PictureCacheTest : public testing::Test {
  protected:
    test::TempFolder folder;
    CountingDecoder decoder;
    PictureCache cache{decoder};
    std::filesystem::path file = folder / "main_normal.jpg";
};

TEST_F(PictureCacheTest, DecodesOnceWhileTheFileStaysTheSame) {
    test::writeFile(file, "abc");
    const auto first = cache.picture(file);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(cache.picture(file), first);
    EXPECT_EQ(cache.picture(file), first);
    EXPECT_EQ(decoder.loads, 1);
    EXPECT_EQ(cache.decodeCount(), 1u);
}

TEST_F(PictureCacheTest, AChangedFileIsDecodedAgain) {
    test::writeFile(file, "abc");
    cache.picture(file);
    test::writeFile(file, "abcdef");
    const auto changed = cache.picture(file);
    ASSERT_NE(changed, nullptr);
    EXPECT_EQ(changed->size().width, 6);

    // The same size, written later: the modification time tells.
    const auto before = std::filesystem::last_write_time(file);
    test::writeFile(file, "ABCDEF");
    std::filesystem::last_write_time(file, before + std::chrono::seconds(1));
    cache.picture(file);
    EXPECT_EQ(decoder.loads, 3);
}

TEST_F(PictureCacheTest, AMissingFileGivesNothingAndIsForgotten) {
    EXPECT_EQ(cache.picture(file), nullptr);
    EXPECT_EQ(decoder.loads, 0);
    test::writeFile(file, "abc");
    ASSERT_NE(cache.picture(file), nullptr);
    std::filesystem::remove(file);
    EXPECT_EQ(cache.picture(file), nullptr);
    test::writeFile(file, "abc");
    EXPECT_NE(cache.picture(file), nullptr);
    EXPECT_EQ(decoder.loads, 2);
}

TEST_F(PictureCacheTest, AFileThatDoesNotDecodeIsNotRetriedUntilItChanges) {
    test::writeFile(file, "");
    EXPECT_EQ(cache.picture(file), nullptr);
    EXPECT_EQ(cache.picture(file), nullptr);
    EXPECT_EQ(decoder.loads, 1);
}

TEST_F(PictureCacheTest, ForgetAllDropsEveryPicture) {
    test::writeFile(file, "abc");
    cache.picture(file);
    cache.forgetAll();
    cache.picture(file);
    EXPECT_EQ(decoder.loads, 2);

    UncachedPictures uncached(decoder);
    uncached.picture(file);
    uncached.picture(file);
    EXPECT_EQ(decoder.loads, 4);
}

}  // namespace
}  // namespace v270
