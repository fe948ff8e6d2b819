#include "text/path_text.h"

#include "text/utf8_text.h"

namespace corvalt {

std::string PathText(const std::filesystem::path& path)
{
#ifdef _WIN32
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
#else
    return ToValidUtf8(path.native());
#endif
}

std::filesystem::path PathFromUtf8(const std::string& text)
{
#ifdef _WIN32
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
#else
    return std::filesystem::path(text);
#endif
}

}  // namespace corvalt
