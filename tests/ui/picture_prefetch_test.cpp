#include "ui/picture_prefetch.h"

#include <gtest/gtest.h>

#include <future>

#include "device/device_fakes.h"
#include "platform/pixel_picture.h"
#include "recording_canvas.h"
#include "ui/scaled_pictures.h"

namespace v270 {
namespace {

using platform::PixelPicture;
using platform::PixelSize;

constexpr DisplayScale k192{192};

// Decodes every file into a 4 x 2 picture, except "missing.jpg"; "slow.jpg" waits until the
// test lets it go.
class FixedDecoder : public platform::PictureDecoder {
  public:
    explicit FixedDecoder(std::shared_future<void> slow) : slow_(std::move(slow)) {}

    std::shared_ptr<const platform::Picture> load(const std::filesystem::path& file) override {
        if (file.filename() == "missing.jpg")
            return nullptr;
        if (file.filename() == "slow.jpg")
            slow_.wait();
        return std::make_shared<PixelPicture>(PixelSize{4, 2}, platform::Rgb{1, 2, 3});
    }

  private:
    std::shared_future<void> slow_;
};

TEST(PicturePrefetchTest, HandsOverEachPictureOnceScaledOnItsThreadOrByTheTaker) {
    std::promise<void> release;
    PicturePrefetch prefetch(
        std::make_unique<FixedDecoder>(release.get_future().share()),
        {{"mask.jpg", false}, {"a.jpg", true}, {"missing.jpg", true}, {"slow.jpg", true}});
    // Decoding starts before the scale is known; the mask is never scaled, so it comes at once.
    const auto mask = prefetch.take("mask.jpg");
    ASSERT_TRUE(mask && mask->original);
    EXPECT_EQ(mask->scaled, mask->original);
    const auto missing = prefetch.take("missing.jpg");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->original, nullptr);
    EXPECT_FALSE(prefetch.takeIfReady("a.jpg")) << "it waits for the scale";

    // With the thread held in the slow decode, the taker scales "a.jpg" itself.
    prefetch.scaleTo(k192);
    const auto a = prefetch.take("a.jpg");
    ASSERT_TRUE(a && a->original && a->scaled);
    EXPECT_EQ(a->scaled->size(), (PixelSize{8, 4}));
    EXPECT_EQ(a->scale, k192);
    EXPECT_FALSE(prefetch.take("a.jpg"));
    EXPECT_FALSE(prefetch.take("other.jpg"));
    EXPECT_FALSE(prefetch.empty());
    release.set_value();
    const std::filesystem::path rest[] = {"slow.jpg", "other.jpg"};
    const auto taken = prefetch.take(rest);
    ASSERT_TRUE(taken[0] && taken[0]->scaled);
    EXPECT_EQ(taken[0]->scaled->size(), (PixelSize{8, 4}));
    EXPECT_FALSE(taken[1]);
    EXPECT_TRUE(prefetch.empty());

    // A frame painter seeded with the scaled picture uses it without resampling its own.
    test::FakePictures source({4, 2});
    source.add("main_normal.jpg");
    ScaledPictures pictures(source);
    pictures.setScale(k192);
    pictures.seed("main_normal.jpg", source.picture("main_normal.jpg"), a->scaled);
    EXPECT_EQ(pictures.picture("main_normal.jpg"), a->scaled);
    EXPECT_EQ(pictures.resampleCount(), 0u);
}

// A picture the first frame does not show is decoded and scaled only once let; then each comes
// once, scaled, to a taker or when ready.
TEST(PicturePrefetchTest, PreparesLaterPicturesOnceLet) {
    PicturePrefetch prefetch(
        std::make_unique<FixedDecoder>(std::shared_future<void>()),
        {{"a.jpg", true}, {"later.jpg", true, true}, {"taken.jpg", true, true}});
    prefetch.scaleTo(k192);
    const auto a = prefetch.take("a.jpg");
    ASSERT_TRUE(a && a->scaled);
    EXPECT_FALSE(prefetch.takeIfReady("later.jpg"));
    prefetch.scaleLater();
    const auto taken = prefetch.take("taken.jpg");
    ASSERT_TRUE(taken && taken->scaled);
    EXPECT_EQ(taken->scaled->size(), (PixelSize{8, 4}));
    std::optional<PicturePrefetch::Prepared> later;
    ASSERT_TRUE(
        test::eventually([&] { return (later = prefetch.takeIfReady("later.jpg")).has_value(); }));
    EXPECT_EQ(later->scaled->size(), (PixelSize{8, 4}));
    EXPECT_TRUE(prefetch.empty());
}

}  // namespace
}  // namespace v270
