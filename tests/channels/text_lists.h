#pragma once
// Lists for tests written as data text lines.

#include <gtest/gtest.h>

#include <string>

#include "channels/data_text_load.h"

namespace tavlink::channels::testing {

inline ChannelList ListOf(const std::string& text) {
  DataTextLoad load = LoadDataText(text);
  EXPECT_EQ(load.result, 0) << load.message;
  return load.list ? *load.list : ChannelList();
}

}  // namespace tavlink::channels::testing
