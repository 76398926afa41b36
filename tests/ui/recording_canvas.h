#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/frame_canvas.h"
#include "platform/pixel_picture.h"
#include "ui/picture_source.h"

namespace v270::test {

// A picture that knows the file it stands for.
class NamedPicture : public platform::PixelPicture {
  public:
    NamedPicture(std::string name, platform::PixelSize size)
        : PixelPicture(size, platform::Rgb{}), name_(std::move(name)) {}
    const std::string& name() const { return name_; }

  private:
    std::string name_;
};

// Hands out a named picture for every file name it holds, by the file's name alone; any other
// file is missing.
class FakePictures : public PictureSource {
  public:
    explicit FakePictures(platform::PixelSize size = {800, 600}) : size_(size) {}

    void add(const std::string& name) {
        pictures_[name] = std::make_shared<NamedPicture>(name, size_);
    }
    void remove(const std::string& name) { pictures_.erase(name); }

    std::shared_ptr<const platform::Picture> picture(const std::filesystem::path& file) override {
        requested_.push_back(file);
        const auto found = pictures_.find(file.filename().string());
        if (found == pictures_.end())
            return nullptr;
        return found->second;
    }
    void forgetAll() override { ++forgotten_; }

    int forgotten() const { return forgotten_; }
    const std::vector<std::filesystem::path>& requested() const { return requested_; }

  private:
    platform::PixelSize size_;
    std::map<std::string, std::shared_ptr<NamedPicture>> pictures_;
    std::vector<std::filesystem::path> requested_;
    int forgotten_ = 0;
};

struct RecordedCopy {
    std::string picture;
    platform::PixelRect source;
    int32_t destX = 0;
    int32_t destY = 0;

    bool operator==(const RecordedCopy&) const = default;
};

struct RecordedText {
    std::u16string text;
    int32_t x = 0;
    int32_t y = 0;
    platform::FontChoice font = platform::FontChoice::English;
    platform::Rgb colour;

    bool operator==(const RecordedText&) const = default;
};

// Keeps every copy and every text of a frame. Text measures as the fonts' cells: 7 x 15 per
// unit in English, 6 x 12 in Chinese (12 wide for a unit beyond ASCII).
class RecordingCanvas : public platform::FrameCanvas {
  public:
    void copy(const platform::Picture& picture, const platform::PixelRect& source, int32_t destX,
              int32_t destY) override {
        const auto* named = dynamic_cast<const NamedPicture*>(&picture);
        copies.push_back({named != nullptr ? named->name() : "?", source, destX, destY});
    }
    platform::TextExtent measureText(std::u16string_view text, platform::FontChoice font) override {
        if (font == platform::FontChoice::English) {
            return {static_cast<int32_t>(7 * text.size()), 15};
        }
        int32_t width = 0;
        for (const char16_t unit : text)
            width += unit < 0x80 ? 6 : 12;
        return {width, 12};
    }
    void drawText(std::u16string_view text, int32_t x, int32_t y, platform::FontChoice font,
                  platform::Rgb colour) override {
        texts.push_back({std::u16string(text), x, y, font, colour});
    }
    void fill(const platform::PixelRect& rect, platform::Rgb colour) override {
        fills.emplace_back(rect, colour);
    }

    // The copies made from one picture, in order.
    std::vector<RecordedCopy> copiesFrom(const std::string& picture) const {
        std::vector<RecordedCopy> out;
        for (const RecordedCopy& c : copies) {
            if (c.picture == picture)
                out.push_back(c);
        }
        return out;
    }
    const RecordedText* textAt(int32_t x, int32_t y) const {
        for (const RecordedText& t : texts) {
            if (t.x == x && t.y == y)
                return &t;
        }
        return nullptr;
    }
    const RecordedText* findText(std::u16string_view text) const {
        for (const RecordedText& t : texts) {
            if (t.text == text)
                return &t;
        }
        return nullptr;
    }

    std::vector<RecordedCopy> copies;
    std::vector<RecordedText> texts;
    std::vector<std::pair<platform::PixelRect, platform::Rgb>> fills;
};

}  // namespace v270::test
