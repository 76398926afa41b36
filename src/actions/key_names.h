#pragma once

#include <cstdint>
#include <string>

namespace v270 {

// The text that the step list shows for a step's key: the letter or digit itself, the name of
// the virtual key without its "VK_" prefix, the punctuation printed on the key, "Left_Key",
// "Right_Key" or "Middle_Key" for the mouse buttons, and for a key without a name "Not
// Available" in the English interface or "不可录制" in the Chinese one.
std::u16string keyName(uint8_t key, bool englishUi);

}  // namespace v270
