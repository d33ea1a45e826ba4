// Test-name generator for table-driven tests whose rows carry a `name`, so a
// failure reads "ReadNumber/TrailingJunk" rather than a byte dump.
#pragma once

#include <gtest/gtest.h>

#include <string>

struct RowName {
    template <class Row>
    std::string operator()(const testing::TestParamInfo<Row>& info) const {
        return info.param.name;
    }
};
