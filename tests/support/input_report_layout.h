// The reader report layout for tests, and the variations of a reader's card
// fields that only tests need: a field left out, an array resized.
#pragma once

#include <cstdint>
#include <vector>

#include "virtualreader/input_report_layout.h"

namespace corvalt::testing {

using corvalt::InputField;
using corvalt::InputReportBuilder;
using corvalt::InputReportLayout;
using corvalt::ReaderCardFields;

// The fields without the one of the given usage.
std::vector<InputField> Without(std::vector<InputField> fields, uint16_t usage);
// The fields with the count of the given usage changed.
std::vector<InputField> WithCount(std::vector<InputField> fields, uint16_t usage, uint16_t count);

}  // namespace corvalt::testing
