#include "cli/hex_words.h"

#include <cctype>
#include <sstream>
#include <string_view>

namespace corvalt {

namespace {

bool IsHexDigit(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

Result<std::string> CommandFromHexWords(const std::vector<std::string>& arguments)
{
    std::string command;
    for (const std::string& argument : arguments) {
        std::istringstream words(argument);
        for (std::string word; words >> word;) {
            std::string_view digits = word;
            if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
                digits.remove_prefix(2);
            for (const char c : digits)
                if (!IsHexDigit(c))
                    return Failure{"'" + word + "' is not a hexadecimal word"};
            if (digits.size() % 2 != 0)
                return Failure{"'" + word + "' has an odd number of hex digits: write each byte as two"};
            for (size_t i = 0; i < digits.size(); i += 2) {
                command.append(command.empty() ? "" : " ");
                command.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(digits[i]))));
                command.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(digits[i + 1]))));
            }
        }
    }
    if (command.empty())
        return Failure{"send needs a command: hexadecimal bytes, e.g. 01 10 00"};
    return command;
}

}  // namespace corvalt
