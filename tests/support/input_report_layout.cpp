#include "tests/support/input_report_layout.h"

namespace corvalt::testing {

std::vector<InputField> Without(std::vector<InputField> fields, uint16_t usage)
{
    std::erase_if(fields, [usage](const InputField& field) { return field.usage == usage; });
    return fields;
}

std::vector<InputField> WithCount(std::vector<InputField> fields, uint16_t usage, uint16_t count)
{
    for (InputField& field : fields)
        if (field.usage == usage)
            field.count = count;
    return fields;
}

}  // namespace corvalt::testing
