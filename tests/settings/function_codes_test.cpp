#include "settings/function_codes.h"

#include <gtest/gtest.h>

namespace v270 {
namespace {

TEST(FunctionCodes, HardwareCodesOfTheTable) {
    for (int32_t code = 1; code <= 5; ++code)
        EXPECT_EQ(hardwareCodeOf(code), code);
    EXPECT_EQ(hardwareCodeOf(0), 0) << "a missing key";
    EXPECT_EQ(hardwareCodeOf(11), 7);
    EXPECT_EQ(hardwareCodeOf(16), 12);
    EXPECT_EQ(hardwareCodeOf(21), 13);
    EXPECT_EQ(hardwareCodeOf(25), 17);
    for (int32_t code : {6, 17, 18, 19, 26, 31, 35, 40, 41, 52}) {
        EXPECT_EQ(hardwareCodeOf(code), hostFunctionCode) << code;
    }
}

TEST(FunctionCodes, CodesNoMenuAssignsOutsideTheRangesHaveNoHardwareCode) {
    for (int32_t code : {7, 8, 9, 10, 20, 53, 1000, -1, -31}) {
        EXPECT_EQ(hardwareCodeOf(code), std::nullopt) << code;
    }
    EXPECT_EQ(hardwareCodeOf(27), hostFunctionCode) << "inside the host range 26..52";
}

TEST(FunctionCodes, DpiStepsAndMacroIndexes) {
    EXPECT_EQ(dpiStepOf(6), 2);
    EXPECT_EQ(dpiStepOf(17), 1);
    EXPECT_EQ(dpiStepOf(18), -1);
    EXPECT_EQ(dpiStepOf(19), 0);
    EXPECT_EQ(macroIndexOf(41), 0);
    EXPECT_EQ(macroIndexOf(43), 2);
    EXPECT_EQ(macroIndexOf(52), 11);
    EXPECT_EQ(macroIndexOf(53), std::nullopt);
    EXPECT_EQ(macroIndexOf(40), std::nullopt);
}

TEST(FunctionCodes, EveryMenuCodeHasItsPlace) {
    EXPECT_EQ(functionCodeInfo(34)->menu.mainRow, 10);
    EXPECT_EQ(functionCodeInfo(34)->menu.entry, 4);
    EXPECT_EQ(functionCodeInfo(43)->menu.mainRow, 9);
    EXPECT_EQ(functionCodeInfo(43)->menu.entry, 3);
    EXPECT_EQ(functionCodeInfo(19)->menu.entry, 9);
    EXPECT_EQ(functionCodeInfo(26)->menu.entry, 6);
    EXPECT_EQ(functionCodeInfo(6)->performer, Performer::Host);
    EXPECT_EQ(functionCodeInfo(14)->performer, Performer::Mouse);
    int codes = 0;
    for (int32_t code = -5; code < 60; ++code) {
        if (const auto info = functionCodeInfo(code)) {
            ++codes;
            EXPECT_EQ(hardwareCodeOf(code), info->hardwareCode) << code;
        }
    }
    EXPECT_EQ(codes, 6 + 9 + 6 + 10 + 12);
}

TEST(FunctionCodes, AtLeastOneButtonKeepsThePrimaryClick) {
    std::array<int32_t, kButtonCount> buttons = {3, 2, 3, 5, 4, 6};
    keepOnePrimaryClick(buttons, 0);
    EXPECT_EQ(buttons, (std::array<int32_t, kButtonCount>{3, 1, 3, 5, 4, 6}));

    buttons = {2, 2, 3, 5, 4, 2};
    keepOnePrimaryClick(buttons, 5);
    EXPECT_EQ(buttons[5], 1) << "the last slot takes it back itself";

    buttons = {1, 2, 3, 5, 4, 1};
    keepOnePrimaryClick(buttons, 5);
    EXPECT_EQ(buttons, (std::array<int32_t, kButtonCount>{1, 2, 3, 5, 4, 1}));
}

}  // namespace
}  // namespace v270
