// Reading JSON back: whatever the command's writer produces reads back to
// the same values, and anything cut short or malformed gives no value (a
// half-written run.json must never pass for a finished run).
#include <gtest/gtest.h>

#include <string>

#include "cli/io/json_reader.hpp"
#include "cli/io/json_writer.hpp"

namespace sitewave::cli {
namespace {

std::string sample() {
  json_writer j;
  j.begin_object();
  j.value("name", "quote \" back\\slash\nline\ttab \x01 ctl");
  j.value("pi", 3.14159265);
  j.value("big", 1796770857716194049LL);
  j.value("yes", true);
  j.null("nothing");
  j.begin_object("peaks");
  j.begin_object("input");
  j.value("H1", -2.5e-7);
  j.end_object();
  j.end_object();
  j.begin_array("files");
  j.value("", "a.csv");
  j.value("", "run.json");
  j.end_array();
  j.begin_array("empty");
  j.end_array();
  j.end_object();
  return j.text();
}

TEST(JsonReader, ReadsBackWhatTheWriterWrites) {
  const auto v = parse_json(sample());
  ASSERT_TRUE(v.has_value());
  EXPECT_EQ(v->find("name")->text, "quote \" back\\slash\nline\ttab \x01 ctl");
  EXPECT_DOUBLE_EQ(v->find("pi")->number, 3.14159265);
  EXPECT_DOUBLE_EQ(v->find("big")->number, 1796770857716194049.0);
  EXPECT_TRUE(v->find("yes")->flag);
  EXPECT_EQ(v->find("nothing")->type, json_value::kind::null);
  ASSERT_NE(v->at({"peaks", "input", "H1"}), nullptr);
  EXPECT_DOUBLE_EQ(v->at({"peaks", "input", "H1"})->number, -2.5e-7);
  EXPECT_EQ(v->at({"peaks", "surface", "H1"}), nullptr);
  EXPECT_EQ(v->at({"pi", "H1"}), nullptr);  // a number has no keys
  ASSERT_EQ(v->find("files")->items.size(), 2u);
  EXPECT_EQ(v->find("files")->items[1].text, "run.json");
  EXPECT_TRUE(v->find("empty")->items.empty());
}

TEST(JsonReader, GivesNothingForTextThatIsNotWholeJson) {
  const std::string whole = sample();
  for (std::size_t cut = 0; cut + 1 < whole.size(); cut += 7) {
    EXPECT_FALSE(parse_json(whole.substr(0, cut)).has_value()) << cut;
  }
  for (const char* bad :
       {"", "{", "{\"a\":1,}", "[1 2]", "{\"a\" 1}", "{'a': 1}", "[NaN]", "[1e999]",
        "[\"tab\tinside\"]", "[\"\\x\"]", "[\"\\u12\"]", "[tru]", "{\"a\":1} x", "{1:2}"}) {
    EXPECT_FALSE(parse_json(bad).has_value()) << bad;
  }
}

TEST(JsonReader, RefusesNestingBeyondAnyRunJsonWithoutExhaustingTheStack) {
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  EXPECT_FALSE(parse_json(deep).has_value());
  const std::string fine = std::string(20, '[') + std::string(20, ']');
  EXPECT_TRUE(parse_json(fine).has_value());
}

}  // namespace
}  // namespace sitewave::cli
