// Writing statements on numbered channels: the formatted write of items
// under a field layout and the list-directed write of items in their natural
// form, each record handed to the channel as it is finished.
#pragma once

#include <array>
#include <span>

#include "textfmt/records.hpp"

namespace sitewave::textio {

using textfmt::layout;
using textfmt::make_text;
using textfmt::text;
using textfmt::write_item;

void write_formatted_items(int unit, const layout& fmt, std::span<const write_item> items);
void write_list_items(int unit, std::span<const write_item> items);

// A formatted write statement: one or more records under fmt.
template <class... T>
void write_formatted(int unit, const layout& fmt, const T&... items) {
  const std::array<write_item, sizeof...(T)> list{write_item(items)...};
  write_formatted_items(unit, fmt, list);
}

// A list-directed write statement; with no items it writes an empty line.
template <class... T>
void write_list(int unit, const T&... items) {
  const std::array<write_item, sizeof...(T)> list{write_item(items)...};
  write_list_items(unit, list);
}

}  // namespace sitewave::textio
