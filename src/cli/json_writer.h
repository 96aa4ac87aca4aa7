// A small streaming JSON writer for the console tool's output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tlx::cli {

class JsonWriter {
  public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(double number);
    JsonWriter& value(int number);
    JsonWriter& value(bool flag);
    JsonWriter& null();

    const std::string& str() const { return out_; }

  private:
    void separate();
    std::string out_;
    std::vector<bool> first_;
    bool afterKey_ = false;
};

std::string jsonEscape(std::string_view text);

} // namespace tlx::cli
