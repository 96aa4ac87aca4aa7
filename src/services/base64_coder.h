// Base64 with the standard alphabet and "=" padding, as mail attachments and AUTH LOGIN use it.
#pragma once

#include <string>
#include <string_view>

namespace tlx {

class CBase64Coder {
  public:
    // Groups of 3 bytes become 4 characters; one line without breaks.
    static std::string encode(std::string_view bytes);
    // Characters 7 to 13 and blanks are skipped, "=" ends the data; other characters outside the
    // alphabet are skipped as well.
    static std::string decode(std::string_view text);
};

} // namespace tlx
