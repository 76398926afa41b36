// The committed layout and settings files are exactly what the skin's description makes, so
// that a change of the description cannot leave them behind (the pictures come from the same
// description, in the same run of the generator).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "skin_description.h"
#include "skin_files.h"

namespace v270 {
namespace {

std::vector<std::byte> committed(const std::filesystem::path& relative) {
    std::ifstream in(std::filesystem::path(V270_SOURCE_DIR) / relative, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::byte> out(bytes.size());
    std::ranges::transform(bytes, out.begin(), [](char c) { return static_cast<std::byte>(c); });
    return out;
}

TEST(SkinGeneratorTest, CommittedLayoutsAndSettingsMatchTheDescription) {
    auto files = skingen::layoutFiles(skingen::shippedSkin());
    const auto data = skingen::dataFiles();
    files.insert(files.end(), data.begin(), data.end());
    EXPECT_EQ(files.size(), 13u);
    for (const skingen::GeneratedFile& file : files) {
        EXPECT_TRUE(committed(file.path) == file.bytes)
            << file.path
            << " differs: run the target v270_regenerate_skin and commit skins/, data/";
    }
}

TEST(SkinGeneratorTest, LabelsAndNamesCanBeRecordFields) {
    const skingen::SkinDescription& skin = skingen::shippedSkin();
    for (const skingen::Entry& entry : skin.entries) {
        for (const std::string& text : {std::string(entry.name), entry.english, entry.chinese}) {
            EXPECT_EQ(text.find(','), std::string::npos) << entry.name;
        }
    }
    for (const skingen::FunctionName& name : skin.functionNames) {
        EXPECT_EQ(name.english.find(','), std::string::npos) << name.english;
        EXPECT_EQ(name.chinese.find(','), std::string::npos) << name.chinese;
    }
}

}  // namespace
}  // namespace v270
