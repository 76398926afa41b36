#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Just enough JSON for the simulator's state dump: one line, keys in the order written.
namespace v270::mousesim {

class JsonWriter {
  public:
    JsonWriter& beginObject() { return open('{'); }
    JsonWriter& endObject() { return close('}'); }
    JsonWriter& beginArray() { return open('['); }
    JsonWriter& endArray() { return close(']'); }

    JsonWriter& key(std::string_view name) {
        separate();
        quoted(name);
        text_ += ':';
        afterKey_ = true;
        return *this;
    }
    JsonWriter& value(std::string_view text) {
        separate();
        quoted(text);
        return *this;
    }
    JsonWriter& value(bool flag) { return raw(flag ? "true" : "false"); }
    JsonWriter& value(int64_t number) { return raw(std::to_string(number)); }
    JsonWriter& value(std::optional<int64_t> number) {
        return number ? value(*number) : raw("null");
    }

    std::string take() { return std::move(text_); }

  private:
    JsonWriter& open(char bracket) {
        separate();
        text_ += bracket;
        first_ = true;
        return *this;
    }
    JsonWriter& close(char bracket) {
        text_ += bracket;
        first_ = false;
        return *this;
    }
    JsonWriter& raw(std::string_view text) {
        separate();
        text_ += text;
        return *this;
    }
    void separate() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (!first_)
            text_ += ',';
        first_ = false;
    }
    void quoted(std::string_view text) {
        static constexpr char kHex[] = "0123456789abcdef";
        text_ += '"';
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                text_ += '\\';
                text_ += c;
            } else if (byte < 0x20) {
                text_ += "\\u00";
                text_ += kHex[byte >> 4];
                text_ += kHex[byte & 0xF];
            } else {
                text_ += c;
            }
        }
        text_ += '"';
    }

    std::string text_;
    bool first_ = true;
    bool afterKey_ = false;
};

}  // namespace v270::mousesim
