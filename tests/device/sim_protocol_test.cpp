#include "device/sim_protocol.h"

#include <gtest/gtest.h>

namespace v270::sim {
namespace {

TEST(SimProtocolTest, FramesSurviveAnySplitOfTheStream) {
    const Frame first{FrameType::SetFeature, {0x01, 0x00, 0x00, 0x00, 0x07, 0x20}};
    const Frame second{FrameType::Enumerate, {}};
    std::vector<uint8_t> stream = encodeFrame(first);
    const std::vector<uint8_t> more = encodeFrame(second);
    stream.insert(stream.end(), more.begin(), more.end());
    EXPECT_EQ(stream[0], 7) << "length little-endian: type byte and six payload bytes";
    EXPECT_EQ(stream[4], 0x04);

    FrameAssembler assembler;
    std::vector<Frame> frames;
    for (const uint8_t byte : stream) {
        assembler.append(std::span(&byte, 1));
        while (auto next = assembler.next())
            frames.push_back(std::move(*next));
    }
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].type, FrameType::SetFeature);
    EXPECT_EQ(frames[0].payload, first.payload);
    EXPECT_EQ(frames[1].type, FrameType::Enumerate);
    EXPECT_TRUE(frames[1].payload.empty());
    EXPECT_FALSE(assembler.broken());
}

TEST(SimProtocolTest, ImpossibleLengthsBreakTheStream) {
    for (const uint32_t length : {0u, static_cast<uint32_t>(kMaxFrameLength + 1), 0xFFFFFFFFu}) {
        FrameAssembler assembler;
        const std::vector<uint8_t> header = PayloadWriter().u32(length).u8(0x02).take();
        assembler.append(header);
        EXPECT_FALSE(assembler.next());
        EXPECT_TRUE(assembler.broken()) << length;
    }
}

TEST(SimProtocolTest, PayloadFieldsReadBackAndShortOnesFail) {
    const std::vector<uint8_t> payload =
        PayloadWriter().u8(1).u16(0xBEEF).u32(0x01020304).string(u"p\u00E4th").take();
    PayloadReader reader(payload);
    EXPECT_EQ(reader.u8(), 1);
    EXPECT_EQ(reader.u16(), 0xBEEF);
    EXPECT_EQ(reader.u32(), 0x01020304u);
    EXPECT_EQ(reader.string(), u"p\u00E4th");
    EXPECT_TRUE(reader.atEnd());
    EXPECT_FALSE(reader.u8());

    const std::vector<uint8_t> cut = {0x05, 0x00, 'a', 'b'};  // a string of 5 bytes, 2 there
    PayloadReader shortReader(cut);
    EXPECT_FALSE(shortReader.string());
}

TEST(SimProtocolTest, InterfaceListsRoundTripAndRejectDamage) {
    InterfaceRecord entry;
    entry.path = u"\\\\?\\hid#vid_18f8&pid_0f99&mi_01&col02#x";
    entry.attributes = {0x18F8, 0x0F99, 0x0100};
    entry.caps.usagePage = 0xFF01;
    entry.caps.usage = 1;
    entry.caps.inputReportByteLength = 0;
    entry.caps.outputReportByteLength = 2;
    entry.caps.featureReportByteLength = 400;
    const std::vector<uint8_t> payload = encodeInterfaceList({entry, entry});
    EXPECT_EQ(decodeInterfaceList(payload), (std::vector<InterfaceRecord>{entry, entry}));

    std::vector<uint8_t> truncated = payload;
    truncated.pop_back();
    EXPECT_FALSE(decodeInterfaceList(truncated));
    std::vector<uint8_t> trailing = payload;
    trailing.push_back(0);
    EXPECT_FALSE(decodeInterfaceList(trailing));
    EXPECT_EQ(decodeInterfaceList(std::vector<uint8_t>{0}), std::vector<InterfaceRecord>{});
}

}  // namespace
}  // namespace v270::sim
